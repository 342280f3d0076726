#include "fuzz_support.h"

#include "core/platform/raster.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace aquarium::fuzz {

FuzzWorld& FuzzWorld::Get()
{
    static FuzzWorld world;
    return world;
}

FuzzWorld::FuzzWorld()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    static QTemporaryDir dir;
    m_root = dir.path();
    QDir(m_root).mkpath(QStringLiteral("drive_c/aq/data"));
    QDir(m_root).mkpath(QStringLiteral("drive_c/aq/pics"));
    QDir(m_root).mkpath(QStringLiteral("dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), m_root + QStringLiteral("/dosdevices/c:"));
    const QString data = m_root + QStringLiteral("/drive_c/aq/data/");
    QImage fish = MakePicture(40, 30, 0x00A0FF);
    SetPixelAt(fish, 0, 0, kBlack);
    SetPixelAt(fish, 20, 0, kWhite);
    fish.save(data + QStringLiteral("neon.bmp"), "BMP");
    MakePicture(64, 96, 0x00A000).save(data + QStringLiteral("kusa.bmp"), "BMP");
    MakePicture(128, 24, 0x204080).save(data + QStringLiteral("sand.bmp"), "BMP");
    QFile character(data + QStringLiteral("neon.ulc"));
    if (character.open(QIODevice::WriteOnly))
        character.write("Kesso's Screen Saver Ulvaro Character\r\n[BMP DATA FORMAT]\r\n"
                        "FishDataNo=1\r\nDATA END\r\n");
    m_files = std::make_unique<Files>(PathMap(m_root));
}

QString FuzzWorld::Write(const QString& name, const QByteArray& bytes) const
{
    QFile file(m_root + QStringLiteral("/drive_c/aq/") + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return QStringLiteral("C:\\aq\\") + name;
}

} // namespace aquarium::fuzz
