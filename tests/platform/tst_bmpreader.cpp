#include "core/platform/bmp_reader.h"
#include "core/platform/files.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTest>

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

QTEST_GUILESS_MAIN(TestBmpReader)
#include "tst_bmpreader.moc"
