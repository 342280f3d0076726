#include "support/test_world.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>

#include <sys/mount.h>
#include <sys/resource.h>

namespace aquarium::test {

TestWorld::TestWorld()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("drive_c/windows/media"));
    QDir(m_dir.path()).mkpath(QStringLiteral("dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), m_dir.path() + QStringLiteral("/dosdevices/c:"));
    QFile::link(QStringLiteral("/"), m_dir.path() + QStringLiteral("/dosdevices/z:"));
}

QString TestWorld::Host(const QString& windowsPath) const
{
    QString rest = windowsPath;
    if (rest.size() >= 2 && rest[1] == u':')
        rest = rest.mid(2);
    rest.replace(u'\\', u'/');
    while (rest.startsWith(u'/'))
        rest.remove(0, 1);
    return m_dir.path() + QStringLiteral("/drive_c/") + rest;
}

QString EscapeRegistryText(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'"')
            out += QStringLiteral("\\\"");
        else if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void TestWorld::WriteRegistry(const QMap<QString, QString>& values) const
{
    QString text = QStringLiteral("WINE REGISTRY Version 2\n;; All keys relative to "
                                  "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n\n"
                                  "[Software\\\\Wine] 1700000000\n\"Version\"=\"win98\"\n\n"
                                  "[Software\\\\Kesso Soft\\\\Ulvaro] 1700000000\n"
                                  "#time=1d9f0c0a0b0c0d0\n");
    for (auto it = values.begin(); it != values.end(); ++it)
        text += u'"' + EscapeRegistryText(it.key()) + QStringLiteral("\"=\"")
                + EscapeRegistryText(it.value()) + QStringLiteral("\"\n");
    QFile file(m_dir.path() + QStringLiteral("/user.reg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
}

void TestWorld::MakeFolder(const QString& windowsPath) const
{
    QDir().mkpath(Host(windowsPath));
}

void TestWorld::WriteFile(const QString& windowsPath, const QByteArray& bytes) const
{
    const QString host = Host(windowsPath);
    QDir().mkpath(QFileInfo(host).absolutePath());
    QFile file(host);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(host));
    file.write(bytes);
}

QByteArray TestWorld::ReadFile(const QString& windowsPath) const
{
    QFile file(Host(windowsPath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TestWorld::WritePicture(const QString& windowsPath, const QImage& picture) const
{
    const QString host = Host(windowsPath);
    QDir().mkpath(QFileInfo(host).absolutePath());
    QVERIFY(picture.save(host, "BMP"));
}

void TestWorld::EnterFolder(const QString& windowsPath) const
{
    MakeFolder(windowsPath);
    QVERIFY(QDir::setCurrent(Host(windowsPath)));
}

void TestWorld::WriteSample() const
{
    const QString source = QStringLiteral(AQUARIUM_SAMPLES_DIR);
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString rest = QDir(source).relativeFilePath(file).replace(u'/', u'\\');
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        WriteFile(u"C:\\aquarium\\"_qs + rest, in.readAll());
    }
    WriteRegistry({{u"DataFile"_qs, u"C:\\aquarium\\tetra.uld"_qs},
                   {u"BGMFile"_qs, u"C:\\aquarium\\midi\\sample.lst"_qs}});
}

void TestWorld::WriteEditingWorld() const
{
    const QByteArray aquarium
        = "//\r\nKesso's Screen Saver Ulvaro\r\n//\r\n\r\n//Ulvaro Data\r\n[Option]\r\n"
          "\tPosOfAiration  =\t\x8d\xb6\r\n\r\n[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\n"
          "\tdata\\guppy,\t1,\t1,\t3\r\nDATA END\r\n\r\n[Bottom]\r\n\tdata\\sand\r\n\r\n"
          "[Bubble]\r\n\tdata\\bubble\r\n\r\n[Food]\r\n\tdata\\esa\r\n\r\n[Sound]\r\n\tdata\\boo-n\r\n"
          "\r\n[ObjectBMP]\r\n\tdata\\kusa\r\nDATA END\r\n\r\n[Object]\r\n"
          "\t0,\tfront,\tbottom,\t7\r\nDATA END\r\n\r\n// END\r\n";
    WriteFile(u"C:\\aq\\tetra.uld"_qs, aquarium);
    WriteFile(u"C:\\aq\\sea.uld"_qs, aquarium);
    WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\n");
    for (const char* folder : {"data", "pics"}) {
        const QString f = u"C:\\aq\\"_qs + QLatin1String(folder) + u'\\';
        WritePicture(f + u"sand.bmp"_qs, SolidPicture(1024, 96, 0x204080));
        WritePicture(f + u"neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
        QImage kusa = SolidPicture(64, 96, 0x00A000);
        SetPixelAt(kusa, 0, 0, kBlack);
        WritePicture(f + u"kusa.bmp"_qs, kusa);
    }
    WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(128, 64, 0x808080));
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullFileSystem::FullFileSystem(const QString& hostFolder) : m_folder(hostFolder)
{
    m_mounted = mount("tmpfs", QFile::encodeName(hostFolder).constData(), "tmpfs", 0,
                      "size=16k")
                == 0;
}

FullFileSystem::~FullFileSystem()
{
    if (m_mounted)
        umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void FullFileSystem::Fill() const
{
    QFile filler(m_folder + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(512, 'f');
    while (filler.write(block) == block.size()) { }
}

QImage SolidPicture(int width, int height, ColorRef colour)
{
    return MakePicture(width, height, colour);
}

} // namespace aquarium::test
