#include "core/platform/files.h"
#include "core/platform/windows_path.h"
#include "support/test_world.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestWindowsPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toHostFindsAnyLetterCase_data();
    void toHostFindsAnyLetterCase();
    void toWindowsPrefersLongestDrive_data();
    void toWindowsPrefersLongestDrive();
    void missingPrefixMapsOnlyZ();
    void prefixWithOwnZ();
    void relativePathsUseCurrentFolder();
    void filesListsAndTests();
    void windowsFolder();
    void linksInsideADriveKeepTheirName();
    void uncNamesMapThroughTheUncFolder();
    void folderIndexSeesChanges();
};

void TestWindowsPath::toHostFindsAnyLetterCase_data()
{
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("hostRest"); // below drive_c
    QTest::newRow("exact") << u"C:\\Aq\\Data\\Neon.bmp"_qs << u"Aq/Data/Neon.bmp"_qs;
    QTest::newRow("other case") << u"c:\\AQ\\data\\NEON.BMP"_qs << u"Aq/Data/Neon.bmp"_qs;
    QTest::newRow("forward slashes") << u"C:/aq/data/neon.bmp"_qs << u"Aq/Data/Neon.bmp"_qs;
    QTest::newRow("dot and dot-dot") << u"C:\\aq\\.\\x\\..\\data\\neon.bmp"_qs
                                     << u"Aq/Data/Neon.bmp"_qs;
    QTest::newRow("doubled backslash") << u"C:\\aq\\\\data\\neon.bmp"_qs << u"Aq/Data/Neon.bmp"_qs;
    QTest::newRow("new file keeps its name") << u"C:\\AQ\\New.uld"_qs << u"Aq/New.uld"_qs;
    QTest::newRow("missing folder kept as written") << u"C:\\aq\\None\\x.bmp"_qs
                                                    << u"Aq/None/x.bmp"_qs;
    QTest::newRow("Japanese names") << u"C:\\aq\\DATA\\底砂.bmp"_qs << u"Aq/Data/底砂.bmp"_qs;
    QTest::newRow("drive root") << u"C:\\"_qs << QString();
}

void TestWindowsPath::toHostFindsAnyLetterCase()
{
    QFETCH(QString, windowsPath);
    QFETCH(QString, hostRest);
    TestWorld world;
    world.WriteFile(u"C:\\Aq\\Data\\Neon.bmp"_qs, "x");
    world.WriteFile(u"C:\\Aq\\Data\\底砂.bmp"_qs, "x");
    const QString host = world.Paths().ToHost(windowsPath);
    const QString driveC = QDir(world.Prefix() + u"/drive_c"_qs).canonicalPath();
    QCOMPARE(host, hostRest.isEmpty() ? driveC : driveC + u'/' + hostRest);
}

void TestWindowsPath::toWindowsPrefersLongestDrive_data()
{
    QTest::addColumn<QString>("hostRest"); // below the prefix
    QTest::addColumn<QString>("windowsPath");
    QTest::newRow("on drive C") << u"drive_c/aq/tetra.uld"_qs << u"C:\\aq\\tetra.uld"_qs;
    QTest::newRow("drive C itself") << u"drive_c"_qs << u"C:\\"_qs;
    QTest::newRow("a file not written yet") << u"drive_c/aq/new.uld"_qs << u"C:\\aq\\new.uld"_qs;
    QTest::newRow("on drive D inside C") << u"drive_c/cd/track.mid"_qs << u"D:\\track.mid"_qs;
    QTest::newRow("outside drive C") << u"user.reg"_qs << QString();
}

void TestWindowsPath::toWindowsPrefersLongestDrive()
{
    QFETCH(QString, hostRest);
    QFETCH(QString, windowsPath);
    TestWorld world;
    world.WriteFile(u"C:\\aq\\tetra.uld"_qs, "x");
    world.WriteFile(u"C:\\cd\\track.mid"_qs, "x");
    QFile::link(world.Prefix() + u"/drive_c/cd"_qs, world.Prefix() + u"/dosdevices/d:"_qs);
    world.WriteRegistry({});
    const PathMap paths = world.Paths();
    const QString host = world.Prefix() + u'/' + hostRest;
    QString expected = windowsPath;
    if (expected.isEmpty()) // outside every drive but Z:, the host root
        expected = u"Z:"_qs + QDir(world.Prefix()).canonicalPath().replace(u'/', u'\\')
                   + u"\\user.reg"_qs;
    QCOMPARE(paths.ToWindows(host), expected);
    // And back again.
    QCOMPARE(QFileInfo(paths.ToHost(expected)).canonicalFilePath(),
             QFileInfo(host).canonicalFilePath());
}

void TestWindowsPath::missingPrefixMapsOnlyZ()
{
    const PathMap paths(u"/nonexistent/prefix"_qs);
    QCOMPARE(paths.ToWindows(u"/tmp"_qs), u"Z:\\tmp"_qs);
    QCOMPARE(paths.ToHost(u"z:\\tmp"_qs), u"/tmp"_qs);
    QCOMPARE(paths.ToHost(u"C:\\aq\\tetra.uld"_qs), QString());
    QCOMPARE(paths.ToWindows(u"/"_qs), u"Z:\\"_qs);
}

void TestWindowsPath::prefixWithOwnZ()
{
    TestWorld world;
    world.MakeFolder(u"C:\\zroot\\inside"_qs);
    QFile::remove(world.Prefix() + u"/dosdevices/z:"_qs);
    QFile::link(world.Prefix() + u"/drive_c/zroot"_qs, world.Prefix() + u"/dosdevices/z:"_qs);
    const PathMap paths = world.Paths();
    // Z: is no longer the host root: a path outside every drive still goes on Z:.
    QCOMPARE(paths.ToWindows(world.Prefix() + u"/drive_c/zroot/inside"_qs), u"Z:\\inside"_qs);
    QCOMPARE(paths.ToWindows(u"/tmp"_qs), u"Z:\\tmp"_qs);
}

void TestWindowsPath::relativePathsUseCurrentFolder()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\back\\Sea.bmp"_qs, "x");
    const PathMap paths = world.Paths();
    const QString expected = QFileInfo(world.Host(u"C:\\aq\\back\\Sea.bmp"_qs)).canonicalFilePath();
    QCOMPARE(paths.ToHost(u"back\\sea.bmp"_qs, u"C:\\aq"_qs), expected);
    QCOMPARE(paths.ToHost(u"back\\sea.bmp"_qs, u"C:\\aq\\"_qs), expected);
    QCOMPARE(paths.ToHost(u"\\aq\\back\\sea.bmp"_qs, u"C:\\other"_qs), expected);
    QCOMPARE(paths.ToHost(u"back\\sea.bmp"_qs), QString());
}

void TestWindowsPath::filesListsAndTests()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\b.MID"_qs, "x");
    world.WriteFile(u"C:\\aq\\a.rmi"_qs, "x");
    world.WriteFile(u"C:\\aq\\C.mid"_qs, "x");
    world.WriteFile(u"C:\\aq\\d.wav"_qs, "x");
    world.MakeFolder(u"C:\\aq\\Pics"_qs);
    world.MakeFolder(u"C:\\aq\\data"_qs);
    world.MakeFolder(u"C:\\aq\\Zz.mid"_qs);
    const Files files = world.MakeFiles();
    QCOMPARE(files.ListFiles(u"c:\\AQ"_qs, u"*.mid;*.rmi"_qs),
             (QStringList{"a.rmi", "b.MID", "C.mid"}));
    QCOMPARE(files.ListFolders(u"C:\\aq\\"_qs), (QStringList{"data", "Pics", "Zz.mid"}));
    QVERIFY(files.FileExists(u"C:\\AQ\\B.mid"_qs));
    QVERIFY(!files.FileExists(u"C:\\aq\\pics"_qs));
    QVERIFY(files.FolderExists(u"C:\\aq\\PICS"_qs));
    QVERIFY(files.FolderExists(u"C:\\aq\\PICS\\"_qs));
    QVERIFY(!files.FolderExists(u"C:\\aq\\b.mid"_qs));
    QVERIFY(!files.FileExists(QString()));
    QVERIFY(files.ListFiles(u"C:\\none"_qs, u"*.bmp"_qs).isEmpty());
}

void TestWindowsPath::windowsFolder()
{
    TestWorld world;
    QCOMPARE(world.Paths().WindowsFolder(), u"C:\\windows"_qs);
}

void TestWindowsPath::linksInsideADriveKeepTheirName()
{
    TestWorld world;
    QTemporaryDir elsewhere;
    QDir(elsewhere.path()).mkpath(u"aq"_qs);
    world.MakeFolder(u"C:\\"_qs);
    QVERIFY(QFile::link(elsewhere.path(), world.Host(u"C:\\linked"_qs)));
    const PathMap paths = world.Paths();
    // Named on the drive through which it was reached, as Wine names it.
    QCOMPARE(paths.ToWindows(world.Host(u"C:\\linked\\aq\\tetra.uld"_qs)),
             u"C:\\linked\\aq\\tetra.uld"_qs);
    QCOMPARE(paths.ToWindows(world.Host(u"C:\\linked"_qs)), u"C:\\linked"_qs);
    // Reached directly, it lies outside every drive but Z:.
    const QString direct = QDir(elsewhere.path()).canonicalPath() + u"/aq"_qs;
    QCOMPARE(paths.ToWindows(direct), u"Z:"_qs + QString(direct).replace(u'/', u'\\'));
}

void TestWindowsPath::uncNamesMapThroughTheUncFolder()
{
    TestWorld world;
    const QString share = world.Prefix() + u"/dosdevices/unc/Server/Share"_qs;
    QDir().mkpath(share + u"/Aq"_qs);
    QFile file(share + u"/Aq/Tetra.uld"_qs);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const PathMap paths = world.Paths();
    QCOMPARE(paths.ToHost(u"\\\\server\\share\\aq\\tetra.uld"_qs), share + u"/Aq/Tetra.uld"_qs);
    QCOMPARE(paths.ToWindows(share + u"/Aq/Tetra.uld"_qs), u"\\\\Server\\Share\\Aq\\Tetra.uld"_qs);
    QVERIFY(PathMap::IsAbsolute(u"\\\\server\\share\\x"_qs));
    // A relative name against a folder on the share, and a name from the share's root.
    QCOMPARE(paths.ToHost(u"Tetra.uld"_qs, u"\\\\server\\share\\aq"_qs),
             share + u"/Aq/Tetra.uld"_qs);
    QCOMPARE(paths.ToHost(u"\\aq\\tetra.uld"_qs, u"\\\\server\\share\\x"_qs),
             share + u"/Aq/Tetra.uld"_qs);
    QCOMPARE(paths.ToHost(u"\\\\server"_qs), QString());
}

// The listing of a folder is kept, and a change to the folder is seen at once: a file
// added, removed, renamed in another letter case.
void TestWindowsPath::folderIndexSeesChanges()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\data\\Kusa.bmp"_qs, "x");
    const Files files = world.MakeFiles();
    const auto look = [&] {
        return std::pair{files.ListFiles(u"C:\\aq\\data"_qs, u"*.bmp"_qs),
                         files.FileExists(u"C:\\aq\\data\\KUSA.BMP"_qs)};
    };
    for (int settled = 0; settled < 2; ++settled) {
        // Once right after the changes, once when the folder's time lies well behind.
        if (settled)
            QTest::qWait(250);
        QCOMPARE(look(), std::pair(QStringList{"Kusa.bmp"}, true));
        world.WriteFile(u"C:\\aq\\data\\iwa.bmp"_qs, "x");
        QCOMPARE(look(), std::pair(QStringList({"iwa.bmp", "Kusa.bmp"}), true));
        QVERIFY(QFile::rename(world.Host(u"C:\\aq\\data\\Kusa.bmp"_qs),
                              world.Host(u"C:\\aq\\data\\KUSA2.bmp"_qs)));
        QCOMPARE(look(), std::pair(QStringList({"iwa.bmp", "KUSA2.bmp"}), false));
        QVERIFY(QFile::remove(world.Host(u"C:\\aq\\data\\iwa.bmp"_qs)));
        QVERIFY(QFile::rename(world.Host(u"C:\\aq\\data\\KUSA2.bmp"_qs),
                              world.Host(u"C:\\aq\\data\\Kusa.bmp"_qs)));
    }
}

QTEST_GUILESS_MAIN(TestWindowsPath)
#include "tst_windowspath.moc"
