#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

// What a hostile file can make the program do: refused before anything large is
// allocated, with a clear message, and the program's state untouched.
class TestLimits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enormousPictureHeaders_data();
    void enormousPictureHeaders();
    void topDownPicturesRead();
    void hugeTextFile();
    void longLinesAndJunk_data();
    void longLinesAndJunk();
};

namespace {

// A BMP file header claiming width x height at 24 bits, with almost no pixel data.
QByteArray BmpHeader(qint32 width, qint32 height)
{
    QByteArray b("BM");
    auto le = [&b](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    le(54 + 16, 4);
    le(0, 4);
    le(54, 4);
    le(40, 4);
    le(quint32(width), 4);
    le(quint32(height), 4);
    le(1, 2);
    le(24, 2);
    le(0, 4);
    le(0, 4);
    le(2835, 4);
    le(2835, 4);
    le(0, 4);
    le(0, 4);
    b.append(QByteArray(16, '\x7f'));
    return b;
}

} // namespace

void TestLimits::enormousPictureHeaders_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("40000 x 40000") << 40000 << 40000;
    QTest::newRow("16000 x 16000 (1 GB of pixels)") << 16000 << 16000;
    QTest::newRow("negative width") << -5 << 10;
    QTest::newRow("2^31-1 wide") << 2147483647 << 1;
    QTest::newRow("one pixel high, a million wide") << 1000000 << 1;
    QTest::newRow("top-down, 40000 high") << 100 << -40000;
    QTest::newRow("top-down, most negative height") << 100 << int(0x80000000);
}

void TestLimits::enormousPictureHeaders()
{
    QFETCH(int, width);
    QFETCH(int, height);
    TestWorld world;
    world.WriteFile(u"C:\\aq\\big.bmp"_qs, BmpHeader(width, height));
    try {
        (void)world.MakeFiles().LoadPicture(u"C:\\aq\\big.bmp"_qs);
        QFAIL("the picture was accepted");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), u"ビットマップイメージが不正です"_qs);
    }
}

void TestLimits::topDownPicturesRead()
{
    // The same 5 x 3 picture stored bottom-up (positive height) and top-down (negative).
    const int w = 5, h = 3;
    QByteArray rows[h];
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            rows[y].append(char(x * 40)).append(char(y * 80)).append(char(200)); // b, g, r
        rows[y] += QByteArray(4 - (3 * w) % 4, '\0');
    }
    TestWorld world;
    for (const bool topDown : {false, true}) {
        QByteArray file = BmpHeader(w, topDown ? -h : h).left(54);
        for (int k = 0; k < h; ++k)
            file += rows[topDown ? k : h - 1 - k];
        world.WriteFile(topDown ? u"C:\\aq\\down.bmp"_qs : u"C:\\aq\\up.bmp"_qs, file);
    }
    const Files files = world.MakeFiles();
    const QImage up = files.LoadPicture(u"C:\\aq\\up.bmp"_qs);
    const QImage down = files.LoadPicture(u"C:\\aq\\down.bmp"_qs);
    QCOMPARE(down.size(), QSize(w, h));
    QCOMPARE(down, up);
    QCOMPARE(down.pixel(1, 2), qRgb(200, 160, 40));
}

void TestLimits::hugeTextFile()
{
    TestWorld world;
    QByteArray text = "Kesso's Screen Saver Ulvaro\r\n";
    text += QByteArray(Files::kMaxTextFileBytes, ';');
    world.WriteFile(u"C:\\aq\\huge.uld"_qs, text);
    world.EnterFolder(u"C:\\aq"_qs);
    const Files files = world.MakeFiles();
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    state.Caption = u"before"_qs;
    state.Doc.Fish[0].CharacterName = u"data\\kept"_qs;
    QVERIFY(!LoadAquariumFile(state, u"C:\\aq\\huge.uld"_qs));
    QCOMPARE(prompts.Messages().size(), 1);
    QVERIFY(prompts.Messages()[0].contains(u"大きすぎます"_qs));
    QCOMPARE(state.Caption, u"before"_qs);
    QCOMPARE(state.Doc.Fish[0].CharacterName, u"data\\kept"_qs);
}

void TestLimits::longLinesAndJunk_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("one line of a megabyte") << QByteArray(1 << 20, 'x')
                                            << u"Kesso's Ulvaro Data Fileではありません"_qs;
    QByteArray junk(70000, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) & 0xFF);
    QTest::newRow("binary junk") << junk << u"Kesso's Ulvaro Data Fileではありません"_qs;
    QTest::newRow("a long fish section")
            << QByteArray("Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n")
                       + QByteArray("\tdata\\neon,\t1,\t1,\t1\r\n").repeated(20000)
            << u"ULDﾌｧｲﾙの内容が不正です"_qs;
}

void TestLimits::longLinesAndJunk()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TestWorld world;
    world.WriteFile(u"C:\\aq\\bad.uld"_qs, content);
    world.EnterFolder(u"C:\\aq"_qs);
    const Files files = world.MakeFiles();
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    QVERIFY(!LoadAquariumFile(state, u"C:\\aq\\bad.uld"_qs));
    QCOMPARE(prompts.Messages(), QStringList{message});
}

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
