#include "core/document/aquarium_file.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "support/test_world.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRasterWindow>
#include <QScreen>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

// aquarium-saver on a real X server (the suite runs under Xvfb): into a window the test
// makes, as XScreenSaver has it draw; on its own until a key; the aquariums it chooses.
class TestSaver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void drawsIntoAForeignWindow_data();
    void drawsIntoAForeignWindow();
    void endsOnAKey_data();
    void endsOnAKey();
    void choosesBySeedAndCycle();

private:
    // Starts the saver in the world's prefix, silent.
    void Start(QProcess& saver, const TestWorld& world, const QStringList& args,
               const QString& window = QString());
    // The lines it printed while it ran for ms milliseconds.
    QStringList Lines(const TestWorld& world, const QStringList& args, int ms);
};

namespace {

// A window of the test's own, black, as XScreenSaver's.
class Host : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(0, 0), size()), Qt::black); }
};

// The sample with its tetra.uld saved once more as green.uld, filled with one colour,
// and named by the settings; without random.uld unless kept.
void GreenWorld(const TestWorld& world, bool keepRandomList)
{
    world.WriteSample();
    const Files files = world.MakeFiles();
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    state.Doc.DataFolder = u"C:\\aquarium\\"_qs;
    QVERIFY(LoadAquariumFile(state, u"C:\\aquarium\\tetra.uld"_qs));
    state.Doc.BackgroundColourFill = true;
    state.Doc.BackgroundRed = 20;
    state.Doc.BackgroundGreen = 200;
    state.Doc.BackgroundBlue = 40;
    state.Doc.BackgroundSource = ColourDigits(state.Doc.BackgroundColourValue());
    SaveAquariumFile(files, state.Doc, u"C:\\aquarium\\green.uld"_qs);
    world.WriteRegistry({{u"DataFile"_qs, u"C:\\aquarium\\green.uld"_qs},
                         {u"BGMFile"_qs, u"C:\\aquarium\\midi\\sample.lst"_qs}});
    if (!keepRandomList)
        QVERIFY(QFile::remove(world.Host(u"C:\\aquarium\\random.uld"_qs)));
}

bool HasColour(const QImage& picture, QRgb colour)
{
    for (int y = 0; y < picture.height(); y += 4) {
        for (int x = 0; x < picture.width(); x += 4) {
            if ((picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
        }
    }
    return false;
}

// The window of the saver's own, by its title; 0 while there is none.
QString SaverWindowId()
{
    QProcess search;
    search.start(u"xdotool"_qs, {u"search"_qs, u"--classname"_qs, u"aquarium-saver"_qs});
    search.waitForFinished(5000);
    return QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).value(0);
}

} // namespace

void TestSaver::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X server (the suite runs under Xvfb)");
}

void TestSaver::Start(QProcess& saver, const TestWorld& world, const QStringList& args,
                      const QString& window)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"WINEPREFIX"_qs, world.Prefix());
    env.insert(u"HOME"_qs, world.Prefix());
    env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
    env.insert(u"PULSE_SERVER"_qs, u"unix:/nonexistent"_qs);
    env.remove(u"XSCREENSAVER_WINDOW"_qs);
    if (!window.isEmpty())
        env.insert(u"XSCREENSAVER_WINDOW"_qs, window);
    saver.setProcessEnvironment(env);
    saver.start(QStringLiteral(AQUARIUM_SAVER_PATH), args);
    QVERIFY(saver.waitForStarted());
}

QStringList TestSaver::Lines(const TestWorld& world, const QStringList& args, int ms)
{
    QProcess saver;
    Start(saver, world, args);
    QTest::qWait(ms);
    saver.kill();
    saver.waitForFinished();
    return QString::fromUtf8(saver.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void TestSaver::drawsIntoAForeignWindow_data()
{
    QTest::addColumn<QString>("how"); // hexadecimal, decimal, or the environment's
    QTest::newRow("-window-id 0x...") << u"-window-id"_qs;
    QTest::newRow("--window-id decimal") << u"--window-id"_qs;
    QTest::newRow("$XSCREENSAVER_WINDOW") << u"XSCREENSAVER_WINDOW"_qs;
}

void TestSaver::drawsIntoAForeignWindow()
{
    QFETCH(QString, how);
    TestWorld world;
    GreenWorld(world, false);
    Host host;
    host.resize(320, 240);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    const quint64 id = quint64(host.winId());
    QProcess saver;
    if (how == u"-window-id")
        Start(saver, world, {how, u"0x"_qs + QString::number(id, 16), u"-seed"_qs, u"2"_qs});
    else if (how == u"--window-id")
        Start(saver, world, {how, QString::number(id), u"--seed"_qs, u"2"_qs});
    else
        Start(saver, world, {u"--seed"_qs, u"2"_qs}, u"0x"_qs + QString::number(id, 16));
    const auto grab = [&] { return host.screen()->grabWindow(WId(id)).toImage(); };
    // The aquarium's colour fills the window, and what swims in it moves.
    QTRY_VERIFY_WITH_TIMEOUT(HasColour(grab(), qRgb(20, 200, 40)), 10000);
    const QImage first = grab();
    QTest::qWait(400);
    QVERIFY(grab() != first);
    QCOMPARE(QString::fromUtf8(saver.readAllStandardOutput()), u"C:\\aquarium\\green.uld\n"_qs);
    saver.kill();
    saver.waitForFinished();
}

void TestSaver::endsOnAKey_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("a window of its own") << QStringList {u"-window"_qs};
    QTest::newRow("by itself, full screen") << QStringList {};
}

void TestSaver::endsOnAKey()
{
    QFETCH(QStringList, args);
    TestWorld world;
    world.WriteSample();
    QProcess saver;
    Start(saver, world, args + QStringList {u"--mute"_qs});
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = SaverWindowId()).isEmpty(), 10000);
    QVERIFY(!saver.waitForFinished(500)); // it plays until then
    // A key pressed in it; the release goes to the server (the window is gone by then).
    QCOMPARE(QProcess::execute(u"xdotool"_qs, {u"keydown"_qs, u"--window"_qs, window, u"space"_qs}), 0);
    QVERIFY(saver.waitForFinished(5000));
    QCOMPARE(QProcess::execute(u"xdotool"_qs, {u"keyup"_qs, u"space"_qs}), 0);
    QCOMPARE(saver.exitStatus(), QProcess::NormalExit);
    QCOMPARE(saver.exitCode(), 0);
}

void TestSaver::choosesBySeedAndCycle()
{
    // random.uld lists tetra.uld and reef.uld: one of them, then the other, every cycle.
    TestWorld world;
    world.WriteSample();
    const QStringList quick {u"-window"_qs, u"-mute"_qs, u"-seed"_qs, u"5"_qs, u"-cycle"_qs, u"0.01"_qs};
    const QStringList first = Lines(world, quick, 5000);
    const QStringList again = Lines(world, quick, 5000);
    QVERIFY2(first.size() >= 3, qPrintable(first.join(u' ')));
    QCOMPARE(again.mid(0, 3), first.mid(0, 3));
    for (qsizetype i = 0; i < first.size(); ++i) {
        QVERIFY(first[i] == u"C:\\aquarium\\tetra.uld" || first[i] == u"C:\\aquarium\\reef.uld");
        QVERIFY(i == 0 || first[i] != first[i - 1]);
    }
    // The default cycle of ten minutes: the same first choice, and no other yet.
    QCOMPARE(Lines(world, {u"-window"_qs, u"-mute"_qs, u"-seed"_qs, u"5"_qs}, 1500),
             first.mid(0, 1));
}

QTEST_MAIN(TestSaver)
#include "tst_saver.moc"
