#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"
#include "support/test_world.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <optional>

#include <sys/stat.h>

using namespace aquarium;
using namespace aquarium::test;

class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyJapaneseTextRoundTrips();
    void knownBytes_data();
    void knownBytes();
    void asciiReadsTheSameBesideJapanese();
    void splitLines_data();
    void splitLines();
    void writesCrLfAfterEveryLine();
    void readsBackWhatItWrote();
    void unencodableTextIsRefusedAndNothingWritten_data();
    void unencodableTextIsRefusedAndNothingWritten();
    void failedWriteLeavesOldFileWhole_data();
    void failedWriteLeavesOldFileWhole();
    void readersRefuseWhatIsNoRegularFile_data();
    void readersRefuseWhatIsNoRegularFile();
    void unencodableFileNameIsNotCreated();
    void unwritableTargets_data();
    void unwritableTargets();
    void missingFileCannotBeOpened();
    void byteCountedPrefix_data();
    void byteCountedPrefix();
};

void TestTextFile::everyJapaneseTextRoundTrips()
{
    const QStringList texts = {
#include "japanese_texts.inc"
    };
    QVERIFY(texts.size() > 100);
    for (const QString& text : texts) {
        QVERIFY2(CanEncodeShiftJis(text), qPrintable(text));
        const QByteArray bytes = EncodeShiftJis(text);
        QCOMPARE(DecodeShiftJis(bytes), text);
        QCOMPARE(ShiftJisLength(text), bytes.size());
    }
}

void TestTextFile::knownBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("backslash is 5C") << u"data\\neon"_qs << QByteArray("data\x5Cneon");
    QTest::newRow("full-width space is 81 40") << u"泳ぐ早さ　横"_qs
                                               << QByteArray::fromHex("896a82ae918182b3814089a1");
    QTest::newRow("half-width katakana are one byte") << u"ｱｸｾｻﾘ"_qs
                                                      << QByteArray::fromHex("b1b8bebbd8");
    QTest::newRow("tilde stays ASCII") << u"a~b"_qs << QByteArray("a~b");
}

void TestTextFile::knownBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeShiftJis(text), bytes);
    QCOMPARE(DecodeShiftJis(bytes), text);
}

// A line of ASCII alone and the same line in a file with Japanese go the same way, both
// ways: otherwise a file would change each time it is saved.
void TestTextFile::asciiReadsTheSameBesideJapanese()
{
    for (int code = 1; code < 0x80; ++code) {
        const QByteArray ascii = QByteArray("a") + char(code) + "b";
        const QString text = DecodeShiftJis(ascii);
        QCOMPARE(DecodeShiftJis(ascii + "\x82\xa0"), text + u'あ');
        if (CanEncodeShiftJis(text)) {
            QCOMPARE(EncodeShiftJis(text), ascii);
            QCOMPARE(EncodeShiftJis(text + u'あ'), ascii + "\x82\xa0");
        }
    }
}

void TestTextFile::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stopAtNul");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << u"a\r\nb\r\n"_qs << false << QStringList{"a", "b"};
    QTest::newRow("last line without end") << u"a\r\nb"_qs << false << QStringList{"a", "b"};
    QTest::newRow("lone CR") << u"a\rb\r"_qs << true << QStringList{"a", "b"};
    QTest::newRow("lone LF") << u"a\nb\n"_qs << true << QStringList{"a", "b"};
    QTest::newRow("mixed") << u"a\r\rb\n\nc"_qs << true << QStringList{"a", "", "b", "", "c"};
    QTest::newRow("LF CR is two ends") << u"a\n\rb"_qs << true << QStringList{"a", "", "b"};
    QTest::newRow("empty lines kept") << u"a\r\n\r\nb\r\n"_qs << false
                                      << QStringList{"a", "", "b"};
    QTest::newRow("NUL ends a list file") << QString::fromUtf16(u"a\r\nb\0c\r\nd", 10) << true
                                          << QStringList{"a", "b"};
    QTest::newRow("NUL inside a data file") << QString::fromUtf16(u"a\0b\r\nc", 6) << false
                                            << QStringList{QString::fromUtf16(u"a\0b", 3), "c"};
    QTest::newRow("nothing") << QString() << true << QStringList{};
    QTest::newRow("only a line end") << u"\r\n"_qs << false << QStringList{""};
    QTest::newRow("blanks kept") << u"  a \t\r\n"_qs << true << QStringList{"  a \t"};
}

void TestTextFile::splitLines()
{
    QFETCH(QString, text);
    QFETCH(bool, stopAtNul);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitLines(text, stopAtNul), lines);
}

void TestTextFile::writesCrLfAfterEveryLine()
{
    TestWorld world;
    const Files files = world.MakeFiles();
    files.WriteLines(u"C:\\x.txt"_qs, {"//", "[Option]", "", "熱帯魚"});
    QCOMPARE(world.ReadFile(u"C:\\x.txt"_qs),
             QByteArray("//\r\n[Option]\r\n\r\n") + QByteArray::fromHex("944d91d18b9b") + "\r\n");
}

void TestTextFile::readsBackWhatItWrote()
{
    TestWorld world;
    const Files files = world.MakeFiles();
    const QStringList lines = {"\tdata\\neon,\t1", "//泳ぐ早さ　横の移動増分", "", "ｼｬﾄﾞｰﾏｯﾋﾟﾝｸﾞ"};
    files.WriteLines(u"C:\\a.ulc"_qs, lines);
    QCOMPARE(files.ReadLines(u"C:\\A.ULC"_qs), lines);
    QCOMPARE(files.ReadListFile(u"c:\\a.ulc"_qs), lines);
}

void TestTextFile::unencodableTextIsRefusedAndNothingWritten_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("character");
    QTest::newRow("euro sign") << u"price €"_qs << u"€"_qs;
    QTest::newRow("emoji") << u"fish 🐟"_qs << u"🐟"_qs.left(1);
    QTest::newRow("yen sign has no byte of its own") << u"¥100"_qs << u"¥"_qs;
    QTest::newRow("hangul") << u"물고기"_qs << u"물"_qs;
}

void TestTextFile::unencodableTextIsRefusedAndNothingWritten()
{
    QFETCH(QString, line);
    QFETCH(QString, character);
    TestWorld world;
    const Files files = world.MakeFiles();
    world.WriteFile(u"C:\\old.lst"_qs, "old\r\n");
    QVERIFY(!CanEncodeShiftJis(line));
    try {
        files.WriteLines(u"C:\\old.lst"_qs, {"first", line, "last"});
        QFAIL("an unencodable line was written");
    } catch (const PlatformError& error) {
        QVERIFY2(error.Text().contains(character), qPrintable(error.Text()));
        QVERIFY(error.Text().contains(u"Shift-JIS"_qs));
    }
    QCOMPARE(world.ReadFile(u"C:\\old.lst"_qs), QByteArray("old\r\n"));
}

void TestTextFile::failedWriteLeavesOldFileWhole_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("message");
    QTest::newRow("file size limit") << false << u"I/O エラー (29)"_qs;
    QTest::newRow("full file system") << true << u"I/O エラー (112)"_qs;
}

void TestTextFile::failedWriteLeavesOldFileWhole()
{
    QFETCH(bool, fullDisk);
    QFETCH(QString, message);
    TestWorld world;
    const Files files = world.MakeFiles();
    const QByteArray old = "the user's only copy\r\n";
    const QStringList lines(200, u"a much longer new text"_qs);
    std::optional<FileSizeLimit> limit;
    std::optional<FullFileSystem> disk;
    world.MakeFolder(u"C:\\aq"_qs);
    if (fullDisk) {
        disk.emplace(world.Host(u"C:\\aq"_qs));
        if (!disk->Mounted())
            QSKIP("mounting a file system needs root");
    }
    world.WriteFile(u"C:\\aq\\tetra.uld"_qs, old);
    if (fullDisk)
        disk->Fill();
    else
        limit.emplace(3);
    try {
        files.WriteLines(u"C:\\aq\\tetra.uld"_qs, lines);
        QFAIL("the write did not fail");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), message);
    }
    limit.reset();
    QCOMPARE(world.ReadFile(u"C:\\aq\\tetra.uld"_qs), old);
    // No temporary file is left beside it.
    QCOMPARE(QDir(world.Host(u"C:\\aq"_qs)).entryList(QDir::Files).filter(u".uld"_qs),
             QStringList{"tetra.uld"});
}

void TestTextFile::readersRefuseWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << u"fifo"_qs;
    QTest::newRow("folder") << u"folder"_qs;
    QTest::newRow("device") << u"device"_qs;
}

void TestTextFile::readersRefuseWhatIsNoRegularFile()
{
    QFETCH(QString, kind);
    TestWorld world;
    world.MakeFolder(u"C:\\aq"_qs);
    const QString host = world.Host(u"C:\\aq\\p.uld"_qs);
    if (kind == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(host).constData(), 0600), 0);
    else if (kind == u"folder")
        world.MakeFolder(u"C:\\aq\\p.uld"_qs);
    else
        QVERIFY(QFile::link(u"/dev/zero"_qs, host));
    const Files files = world.MakeFiles();
    // Nothing waits for a writer or reads without end: each is refused at once.
    for (int list = 0; list < 2; ++list) {
        try {
            (void)(list ? files.ReadListFile(u"C:\\aq\\p.uld"_qs)
                        : files.ReadLines(u"C:\\aq\\p.uld"_qs));
            QFAIL("read");
        } catch (const PlatformError& error) {
            QCOMPARE(error.Text(), u"ファイル C:\\aq\\p.uld は開けません"_qs);
        }
    }
}

void TestTextFile::unencodableFileNameIsNotCreated()
{
    TestWorld world;
    world.MakeFolder(u"C:\\aq"_qs);
    const Files files = world.MakeFiles();
    try {
        files.WriteLines(u"C:\\aq\\caf€é😀.uld"_qs, {u"x"_qs});
        QFAIL("written");
    } catch (const PlatformError& error) {
        QVERIFY2(error.Text().contains(u"'€' (U+20AC)"_qs), qPrintable(error.Text()));
    }
    QCOMPARE(QDir(world.Host(u"C:\\aq"_qs)).entryList(QDir::Files), QStringList());
}

void TestTextFile::unwritableTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << u"C:\\nowhere\\a.lst"_qs;
    QTest::newRow("a folder of that name") << u"C:\\folder"_qs;
    QTest::newRow("a file where a folder should be") << u"C:\\plain.txt\\a.lst"_qs;
    QTest::newRow("unmapped drive") << u"Q:\\a.lst"_qs;
}

void TestTextFile::unwritableTargets()
{
    QFETCH(QString, target);
    TestWorld world;
    world.MakeFolder(u"C:\\folder"_qs);
    world.WriteFile(u"C:\\plain.txt"_qs, "x");
    const Files files = world.MakeFiles();
    try {
        files.WriteLines(target, {"a"});
        QFAIL("the write did not fail");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), QStringLiteral("ファイル %1 を作成できません").arg(target));
    }
    QVERIFY(QFileInfo(world.Host(u"C:\\folder"_qs)).isDir());
    QCOMPARE(world.ReadFile(u"C:\\plain.txt"_qs), QByteArray("x"));
}

void TestTextFile::missingFileCannotBeOpened()
{
    TestWorld world;
    const Files files = world.MakeFiles();
    try {
        (void)files.ReadLines(u"C:\\none.uld"_qs);
        QFAIL("a missing file was read");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), u"ファイル C:\\none.uld は開けません"_qs);
    }
}

void TestTextFile::byteCountedPrefix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("digits") << u"12345678901234"_qs << 10 << u"1234567890"_qs;
    QTest::newRow("double-byte not split") << u"1234567８9"_qs << 8 << u"1234567"_qs;
    QTest::newRow("double-byte fits") << u"1234567８9"_qs << 9 << u"1234567８"_qs;
    QTest::newRow("katakana one byte") << u"ｱｲｳｴｵｶｷｸｹｺｻ"_qs << 10 << u"ｱｲｳｴｵｶｷｸｹｺ"_qs;
    QTest::newRow("shorter") << u"50"_qs << 10 << u"50"_qs;
}

void TestTextFile::byteCountedPrefix()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QFETCH(QString, prefix);
    QCOMPARE(ShiftJisLeft(text, bytes), prefix);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
