#include "core/platform/bmp_reader.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <variant>

using namespace aquarium;

// The direct BMP reader against Qt's: the same pixels for every picture it takes, and
// every picture of the corpus and the sample read the same through Files either way.
class TestBmpReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generatedPictures_data();
    void generatedPictures();
    void committedPictures();
    void leftToQt_data();
    void leftToQt();
    void incompletePicturesAreRefused_data();
    void incompletePicturesAreRefused();
    void runsThatSkipPixelsLeaveColourZero();
};

namespace {

void Le(QByteArray& b, quint32 v, int n)
{
    for (int i = 0; i < n; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A BMP file with BITMAPINFOHEADER, pixels from a fixed pseudo-random sequence.
QByteArray Bmp(int width, int height, int bits, bool topDown, int colours = 0)
{
    const int rowBytes = ((width * bits + 31) / 32) * 4;
    const int paletteSize = bits == 8 ? (colours ? colours : 256) : 0;
    const quint32 offset = 54 + paletteSize * 4;
    QByteArray b("BM");
    Le(b, offset + rowBytes * height, 4);
    Le(b, 0, 4);
    Le(b, offset, 4);
    Le(b, 40, 4);
    Le(b, quint32(width), 4);
    Le(b, quint32(topDown ? -height : height), 4);
    Le(b, 1, 2);
    Le(b, quint32(bits), 2);
    Le(b, 0, 4);
    Le(b, quint32(rowBytes * height), 4);
    Le(b, 2835, 4);
    Le(b, 2835, 4);
    Le(b, quint32(colours), 4);
    Le(b, 0, 4);
    quint32 seed = 12345u + quint32(width * 7 + bits);
    const auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int c = 0; c < paletteSize; ++c)
        Le(b, next() | 0xAB000000u, 4); // a reserved byte Qt ignores
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < rowBytes; ++x) {
            const bool pixel = x < width * bits / 8;
            const quint32 value = next();
            b.append(char(pixel ? (bits == 8 ? value % quint32(paletteSize) : value & 0xFF) : 0));
        }
    }
    return b;
}

QImage ByQt(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "bmp").read().convertToFormat(QImage::Format_RGB32);
}

std::optional<QImage> Direct(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadPlainBmp(buffer, Files::kMaxPictureSide, qint64(256) << 20);
}

} // namespace

void TestBmpReader::generatedPictures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    for (const int bits : {8, 24, 32}) {
        for (int width = 1; width <= 9; ++width) { // every width modulo 4, twice
            for (const bool topDown : {false, true})
                QTest::addRow("%d bits, %d wide%s", bits, width, topDown ? ", top-down" : "")
                    << Bmp(width, 5, bits, topDown);
        }
    }
    QTest::newRow("8 bits, a palette of 16") << Bmp(13, 4, 8, false, 16);
    QTest::newRow("24 bits, 640 x 3") << Bmp(640, 3, 24, false);
}

void TestBmpReader::generatedPictures()
{
    QFETCH(QByteArray, bytes);
    const std::optional<QImage> direct = Direct(bytes);
    QVERIFY(direct); // plain pictures take the direct way
    const QImage qt = ByQt(bytes);
    QVERIFY(!qt.isNull());
    QCOMPARE(direct->format(), QImage::Format_RGB32);
    QCOMPARE(*direct, qt);
}

void TestBmpReader::committedPictures()
{
    int direct = 0;
    const QStringList folders = {QStringLiteral(AQUARIUM_SAMPLES_DIR "/data"),
        QStringLiteral(AQUARIUM_SOURCE_DIR "/fuzz/corpus/picture")};
    for (const QString& folder : folders) {
        const Files files((PathMap(u"/nonexistent"_qs)));
        for (const QString& name : QDir(folder).entryList({u"*.bmp"_qs}, QDir::Files)) {
            QFile file(folder + u'/' + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const QImage qt = ByQt(bytes);
            if (const std::optional<QImage> image = Direct(bytes)) {
                ++direct;
                QVERIFY2(*image == qt, qPrintable(name));
            }
            // Through Files, whichever way it takes.
            if (!qt.isNull()) {
                const QString windows = files.Paths().ToWindows(folder + u'/' + name);
                QVERIFY2(files.LoadPicture(windows) == qt, qPrintable(name));
            }
        }
    }
    QVERIFY(direct > 10);
}

void TestBmpReader::leftToQt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray cut = Bmp(8, 8, 24, false);
    cut.chop(10);
    QTest::newRow("cut short") << cut;
    QByteArray rle = Bmp(8, 8, 8, false);
    rle[30] = 1; // BI_RLE8
    QTest::newRow("compressed") << rle;
    QByteArray sixteen = Bmp(8, 8, 24, false);
    sixteen[28] = 16;
    QTest::newRow("16 bits") << sixteen;
    QByteArray beyond = Bmp(4, 2, 8, false, 2);
    beyond[beyond.size() - 8] = 7; // a palette of two colours, index 7
    QTest::newRow("index beyond the palette") << beyond;
    QTest::newRow("not a BMP") << QByteArray("GIF89a and more bytes than a header needs, really");
}

void TestBmpReader::leftToQt()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!Direct(bytes));
}

namespace {

// Loads bytes as a picture file through Files: the picture, or the error's text.
std::variant<QImage, QString> Load(const QByteArray& bytes)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"p.bmp"_qs));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return u"not written"_qs;
    file.close();
    const Files files((PathMap(u"/nonexistent"_qs)));
    try {
        return files.LoadPicture(files.Paths().ToWindows(file.fileName()));
    } catch (const PlatformError& error) {
        return error.Text();
    }
}

// An 8-bit run-length picture of width x 2 from the codes given after the palette of two
// colours (0 red, 1 green).
QByteArray RunLengthBmp(int width, const QByteArray& codes)
{
    QByteArray b = Bmp(width, 2, 8, false, 2).first(54 + 8);
    b[30] = 1; // BI_RLE8
    b[0x22] = char(codes.size());
    b[0x23] = 0;
    b.replace(54, 8, QByteArray::fromHex("0000ff0000ff0000"));
    return b + codes;
}

} // namespace

void TestBmpReader::incompletePicturesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray full24 = Bmp(40, 30, 24, false);
    QTest::newRow("24 bits, cut after ten rows") << full24.first(54 + 10 * 120);
    QTest::newRow("24 bits, the last byte missing") << full24.chopped(1);
    const QByteArray full8 = Bmp(40, 30, 8, false);
    QTest::newRow("8 bits, cut after ten rows") << full8.first(54 + 1024 + 10 * 40);
    QTest::newRow("8 bits, palette only") << full8.first(54 + 1024);
    QTest::newRow("header only, 64 bytes") << full24.first(64);
    QByteArray sixteen = Bmp(8, 8, 24, false).first(54 + 7 * 16);
    sixteen[28] = 16; // rows of 16 bytes: seven of eight are there
    QTest::newRow("16 bits, cut short") << sixteen;
    QTest::newRow("run-length, no end") << RunLengthBmp(4, QByteArray::fromHex("0401"));
    QByteArray huge = full24.first(64);
    for (int at : {18, 22}) // width and height near 2^31: their product overflows 64 bits
        huge.replace(at, 4, QByteArray::fromHex("ffffff7f"));
    QTest::newRow("huge width and height") << huge;
    QTest::newRow("run-length, absolute run cut") << RunLengthBmp(4, QByteArray::fromHex("0004000101"));
}

void TestBmpReader::incompletePicturesAreRefused()
{
    // The same answer every time, whatever the memory held before (the test runs under
    // MALLOC_PERTURB_): never the pixels of a picture read in part.
    QFETCH(QByteArray, bytes);
    for (int run = 0; run < 3; ++run) {
        const auto loaded = Load(bytes);
        QVERIFY(std::holds_alternative<QString>(loaded));
        QCOMPARE(std::get<QString>(loaded), u"ビットマップイメージが不正です"_qs);
    }
}

void TestBmpReader::runsThatSkipPixelsLeaveColourZero()
{
    // Row 0: two green pixels, then the end of the row; row 1: a move two to the right,
    // one green pixel, the end of the picture.
    const QByteArray bytes = RunLengthBmp(4, QByteArray::fromHex("0201" "0000" "00020200" "0101" "0001"));
    const auto loaded = Load(bytes);
    QVERIFY(std::holds_alternative<QImage>(loaded));
    const QImage picture = std::get<QImage>(loaded);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
    const QRgb expected[2][4] = {{red, red, green, red}, {green, green, red, red}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(picture.pixel(x, y), expected[y][x]);
}

QTEST_GUILESS_MAIN(TestBmpReader)
#include "tst_bmpreader.moc"
