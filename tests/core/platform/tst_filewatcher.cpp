#include "core/platform/file_watcher.h"
#include "core/platform/files.h"
#include "core/platform/raster.h"
#include "support/test_world.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>
#include <utime.h>

using namespace aquarium;
using namespace aquarium::test;

// The watch over other programs' changes, on real files: what it reports and when, and
// the listings and pictures that never answer from before a change, whatever the clock.
class TestFileWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsWhatChanged_data();
    void reportsWhatChanged();
    void aBurstIsOneReport();
    void coarseClocksHideNothing();
};

namespace {

const QString kFolder = u"C:\\aq\\data"_qs;
const QString kPicture = u"C:\\aq\\data\\kusa.bmp"_qs;

using Change = std::function<void(const TestWorld&)>;

// Sets a path's times to seconds since the epoch, as a file system whose clock ticks in
// whole seconds leaves them when it changes within one tick.
void SetTime(const QString& hostPath, time_t seconds)
{
    const utimbuf times {seconds, seconds};
    QVERIFY(::utime(QFile::encodeName(hostPath).constData(), &times) == 0);
}

} // namespace

Q_DECLARE_METATYPE(Change)

void TestFileWatcher::reportsWhatChanged_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("folder"); // the folder's entries changed
    QTest::addColumn<bool>("file");   // the picture changed
    const auto write = [](const TestWorld& w, const QString& path, ColorRef colour) {
        w.WritePicture(path, SolidPicture(16, 16, colour));
    };
    QTest::newRow("a picture copied in") << Change([write](const TestWorld& w) {
        write(w, u"C:\\aq\\data\\new.bmp"_qs, 0x00FF00);
    }) << true << false;
    QTest::newRow("a picture removed") << Change([](const TestWorld& w) {
        QFile::remove(w.Host(u"C:\\aq\\data\\iwa.bmp"_qs));
    }) << true << false;
    QTest::newRow("a picture renamed") << Change([](const TestWorld& w) {
        QFile::rename(w.Host(u"C:\\aq\\data\\iwa.bmp"_qs), w.Host(u"C:\\aq\\data\\rock.bmp"_qs));
    }) << true << false;
    QTest::newRow("the picture rewritten in place") << Change([](const TestWorld& w) {
        QFile file(w.Host(kPicture));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(60);
        file.write("\x01\x02\x03");
    }) << false << true;
    QTest::newRow("the picture replaced by a rename") << Change([write](const TestWorld& w) {
        write(w, u"C:\\aq\\data\\kusa.tmp"_qs, 0x0000FF);
        QFile::remove(w.Host(kPicture));
        QFile::rename(w.Host(u"C:\\aq\\data\\kusa.tmp"_qs), w.Host(kPicture));
    }) << true << true;
    QTest::newRow("the picture removed") << Change([](const TestWorld& w) {
        QFile::remove(w.Host(kPicture));
    }) << true << true;
}

void TestFileWatcher::reportsWhatChanged()
{
    QFETCH(Change, change);
    QFETCH(bool, folder);
    QFETCH(bool, file);
    TestWorld world;
    world.WritePicture(kPicture, SolidPicture(16, 16, 0x808080));
    world.WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(16, 16, 0x808080));
    FileWatcher watcher(world.Paths());
    watcher.Watch({kFolder}, {kPicture});
    QSignalSpy changed(&watcher, &FileWatcher::Changed);
    change(world);
    QVERIFY(changed.wait(3000));
    QTest::qWait(2 * FileWatcher::kCoalesceMs); // nothing more comes of one change
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].toStringList(), folder ? QStringList {kFolder} : QStringList());
    QCOMPARE(changed[0][1].toStringList(), file ? QStringList {kPicture} : QStringList());
    // A picture replaced or removed is watched again: the next change is seen too.
    changed.clear();
    world.WritePicture(kPicture, SolidPicture(16, 16, 0xFFFFFF));
    QVERIFY(changed.wait(3000));
    QVERIFY(changed[0][1].toStringList().contains(kPicture));
}

void TestFileWatcher::aBurstIsOneReport()
{
    TestWorld world;
    world.MakeFolder(kFolder);
    FileWatcher watcher(world.Paths());
    watcher.Watch({kFolder}, {});
    QSignalSpy changed(&watcher, &FileWatcher::Changed);
    const QString host = world.Host(kFolder);
    for (int i = 0; i < 1000; ++i) {
        QFile f(host + QStringLiteral("/p%1.bmp").arg(i));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(changed.wait(3000));
    QTest::qWait(2 * FileWatcher::kCoalesceMs);
    QCOMPARE(changed.count(), 1);
}

void TestFileWatcher::coarseClocksHideNothing()
{
    // A folder and a picture whose times tick in two seconds: a file added and a picture
    // replaced by one of its size within the tick leave the times as they were.
    TestWorld world;
    world.WritePicture(kPicture, SolidPicture(16, 16, 0x808080));
    const QString folder = world.Host(kFolder);
    const QString picture = world.Host(kPicture);
    const time_t tick = time(nullptr) / 2 * 2;
    SetTime(folder, tick);
    SetTime(picture, tick);
    const Files files = world.MakeFiles();
    QCOMPARE(files.ListFiles(kFolder, u"*.bmp"_qs), QStringList {u"kusa.bmp"_qs});
    QCOMPARE(PixelAt(files.LoadPicture(kPicture), 0, 0), ColorRef(0x808080));
    world.WritePicture(u"C:\\aq\\data\\new.bmp"_qs, SolidPicture(16, 16, 0x00FF00));
    world.WritePicture(kPicture, SolidPicture(16, 16, 0x0000FF));
    SetTime(folder, tick);
    SetTime(picture, tick);
    QCOMPARE(files.ListFiles(kFolder, u"*.bmp"_qs), (QStringList {u"kusa.bmp"_qs, u"new.bmp"_qs}));
    QCOMPARE(PixelAt(files.LoadPicture(kPicture), 0, 0), ColorRef(0x0000FF));
}

QTEST_GUILESS_MAIN(TestFileWatcher)
#include "tst_filewatcher.moc"
