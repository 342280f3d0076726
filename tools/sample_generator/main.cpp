// Draws the sample data folder: fish, plants, rocks, sand, bubbles, food, a background, a
// sound and two tunes, and writes the aquarium files, the fish character files and the
// lists with the editor's own writers. Its output is committed under samples/aquarium, so
// a build never runs it: rerun it after changing a drawing.
//
//   sample-generator OUTPUT-FOLDER [ICON.png]

#include "core/document/aquarium.h"
#include "core/document/aquarium_file.h"
#include "core/document/fish_character.h"
#include "core/platform/files.h"
#include "core/platform/raster.h"
#include "ui/widgets/app_icon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

using namespace aquarium;

namespace {

QString g_out;

QImage Canvas(int w, int h, QColor background = Qt::black)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

void Save(const QImage& image, const QString& name)
{
    image.save(g_out + u"/data/"_qs + name + u".bmp"_qs, "BMP");
}

// A fish facing left, in the rectangle, body colours c1 (back) to c2 (belly); tail swings by
// swing (-1..1). Black around it (the key colour of the screen saver's sprites).
void DrawFish(QPainter& p, QRectF r, QColor c1, QColor c2, double swing = 0, bool stripes = false)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const double bodyW = r.width() * 0.72;
    const QRectF body(r.left() + r.width() * 0.04, r.top() + r.height() * 0.18, bodyW,
                      r.height() * 0.64);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, c1);
    g.setColorAt(1, c2);
    // Tail.
    const double tx = body.right() - 2;
    const double ty = body.center().y();
    const double swingY = swing * r.height() * 0.18;
    QPainterPath tail;
    tail.moveTo(tx, ty);
    tail.lineTo(r.right() - 1, r.top() + r.height() * 0.12 + swingY);
    tail.lineTo(r.right() - r.width() * 0.06, ty + swingY * 0.5);
    tail.lineTo(r.right() - 1, r.bottom() - r.height() * 0.12 + swingY);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c1.darker(115));
    p.drawPath(tail);
    // Fins.
    QPainterPath fin;
    fin.moveTo(body.left() + bodyW * 0.35, body.top() + 2);
    fin.quadTo(body.left() + bodyW * 0.55, r.top(), body.left() + bodyW * 0.75, body.top() + 3);
    fin.closeSubpath();
    p.drawPath(fin);
    p.setBrush(g);
    p.drawEllipse(body);
    if (stripes) {
        p.setBrush(QColor(40, 220, 255));
        p.drawRect(QRectF(body.left() + bodyW * 0.2, body.center().y() - body.height() * 0.12,
                          bodyW * 0.65, body.height() * 0.2));
    }
    // Eye.
    const double e = std::max(2.0, r.height() * 0.12);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(body.left() + bodyW * 0.12, body.top() + body.height() * 0.28, e, e));
    p.setBrush(QColor(10, 10, 10));
    p.drawEllipse(QRectF(body.left() + bodyW * 0.12 + e * 0.3, body.top() + body.height() * 0.28 + e * 0.3,
                         e * 0.5, e * 0.5));
    p.restore();
}

// A fish picture of one cell: never black in its top-left pixel? The shadow-mapping layout
// wants black there; the others keep black as the key colour too.
QImage FishPicture(int w, int h, QColor c1, QColor c2, bool stripes = false)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    DrawFish(p, QRectF(1, 1, w - 2, h - 2), c1, c2, 0, stripes);
    return image;
}

// ShadowMapping: two columns, FishDataNo + 1 rows. The fish in the top-left cell, the right
// half of the top row starts white, the last row holds the two shading masks.
QImage ShadowMappingFish()
{
    const int cw = 72, ch = 36;
    QImage image = Canvas(cw * 2, ch * 2);
    QPainter p(&image);
    DrawFish(p, QRectF(1, 1, cw - 2, ch - 2), QColor(60, 90, 220), QColor(230, 60, 60), 0, true);
    p.fillRect(QRect(cw, 0, cw, ch), Qt::white);
    // Masks: full light, and light fading towards the belly.
    p.fillRect(QRect(0, ch, cw, ch), Qt::white);
    QLinearGradient shade(0, ch, 0, 2 * ch);
    shade.setColorAt(0, Qt::white);
    shade.setColorAt(1, QColor(110, 110, 130));
    p.fillRect(QRect(cw, ch, cw, ch), shade);
    return image;
}

// Animation: four frames side by side, the tail swinging.
QImage AnimatedFish()
{
    const int cw = 64, ch = 32;
    QImage image = Canvas(cw * 4, ch);
    QPainter p(&image);
    const double swings[] = {-1, -0.3, 0.4, 1};
    for (int i = 0; i < 4; ++i)
        DrawFish(p, QRectF(i * cw + 1, 1, cw - 2, ch - 2), QColor(250, 150, 30), QColor(255, 230, 120),
                 swings[i]);
    return image;
}

QImage Plant(int w, int h, QColor leaf, int blades, double bend)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int b = 0; b < blades; ++b) {
        const double x = w * (0.2 + 0.6 * b / std::max(1, blades - 1));
        const double top = h * (0.05 + 0.25 * ((b * 37) % 5) / 5.0);
        QPainterPath blade;
        blade.moveTo(x - 3, h);
        blade.cubicTo(x - 6 + bend * 10, h * 0.6, x + bend * 25, h * 0.35, x + bend * 18, top);
        blade.cubicTo(x + bend * 25 + 6, h * 0.35, x + 8 + bend * 10, h * 0.6, x + 4, h);
        blade.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(b % 2 ? leaf : leaf.lighter(125));
        p.drawPath(blade);
        bend = -bend * 0.8;
    }
    return image;
}

QImage Rock(int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    QRadialGradient g(w * 0.35, h * 0.3, w * 0.7);
    g.setColorAt(0, QColor(170, 160, 150));
    g.setColorAt(1, QColor(80, 75, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    QPainterPath rock;
    rock.moveTo(2, h);
    rock.cubicTo(0, h * 0.4, w * 0.3, 2, w * 0.55, h * 0.08);
    rock.cubicTo(w * 0.85, h * 0.12, w, h * 0.5, w - 2, h);
    rock.closeSubpath();
    p.drawPath(rock);
    p.setBrush(QColor(60, 56, 52));
    p.drawEllipse(QRectF(w * 0.5, h * 0.55, w * 0.12, h * 0.1));
    return image;
}

QImage Shell(int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setPen(QPen(QColor(200, 120, 100), 2));
    p.setBrush(QColor(250, 210, 190));
    QPainterPath shell;
    shell.moveTo(w * 0.5, h - 2);
    shell.lineTo(2, h * 0.35);
    shell.quadTo(w * 0.5, -h * 0.2, w - 2, h * 0.35);
    shell.closeSubpath();
    p.drawPath(shell);
    for (int i = 1; i < 6; ++i)
        p.drawLine(QPointF(w * 0.5, h - 2), QPointF(w * i / 6.0, h * 0.15));
    return image;
}

QImage Coral(int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setPen(QPen(QColor(240, 90, 120), 9, Qt::SolidLine, Qt::RoundCap));
    const QPointF base(w * 0.5, h - 4);
    const QPointF tips[] = {{w * 0.15, h * 0.2}, {w * 0.35, h * 0.05}, {w * 0.6, h * 0.12},
                            {w * 0.85, h * 0.3}};
    for (const QPointF& tip : tips) {
        const QPointF mid((base.x() + tip.x()) / 2, (base.y() + tip.y()) / 2 + 8);
        p.drawLine(base, mid);
        p.drawLine(mid, tip);
    }
    return image;
}

QImage GrassCarpet(int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < w / 6; ++i) {
        const double x = i * 6 + 2;
        const double top = h * (0.1 + 0.5 * ((i * 53) % 7) / 7.0);
        p.setBrush(i % 3 ? QColor(50, 160, 60) : QColor(90, 190, 80));
        QPainterPath blade;
        blade.moveTo(x, h);
        blade.quadTo(x + 2, top + 8, x + 3, top);
        blade.quadTo(x + 4, top + 8, x + 6, h);
        p.drawPath(blade);
    }
    return image;
}

QImage Sand()
{
    QImage image = Canvas(256, 96, QColor(214, 190, 140));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    // Pebbles in a fixed pattern, so that tiles join without a seam.
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 180; ++i) {
        const int x = next() % 256, y = 6 + next() % 88, r = 2 + next() % 5;
        const int tone = 120 + next() % 100;
        p.setBrush(QColor(tone, tone - 20, tone - 50));
        p.drawEllipse(QPoint(x, y), r + 1, r);
    }
    p.fillRect(QRect(0, 0, 256, 4), QColor(190, 165, 120));
    return image;
}

QImage Bubbles()
{
    QImage image = Canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(200, 240, 255), 1));
    p.setBrush(QColor(120, 190, 230));
    p.drawEllipse(QRect(2, 2, 11, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(4, 4, 3, 3));
    return image;
}

QImage Food()
{
    QImage image = Canvas(8, 8);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 100, 40));
    p.drawEllipse(QRect(1, 2, 6, 5));
    return image;
}

QImage Background()
{
    QImage image = Canvas(640, 480);
    QPainter p(&image);
    QLinearGradient water(0, 0, 0, 480);
    water.setColorAt(0, QColor(40, 140, 200));
    water.setColorAt(1, QColor(5, 30, 80));
    p.fillRect(image.rect(), water);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        QPolygonF ray;
        const double x = 60 + i * 100;
        ray << QPointF(x, 0) << QPointF(x + 40, 0) << QPointF(x + 140, 480) << QPointF(x + 60, 480);
        p.setBrush(QColor(255, 255, 255, 18));
        p.drawPolygon(ray);
    }
    // Far rocks.
    p.setBrush(QColor(20, 50, 80));
    QPainterPath hills;
    hills.moveTo(0, 480);
    hills.cubicTo(120, 360, 260, 420, 360, 380);
    hills.cubicTo(460, 340, 560, 420, 640, 390);
    hills.lineTo(640, 480);
    hills.closeSubpath();
    p.drawPath(hills);
    return image;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void Le(QByteArray& b, quint32 v, int n)
{
    for (int i = 0; i < n; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// "boo-n": a short falling tone, 8-bit mono 11025 Hz.
QByteArray Wave()
{
    const int rate = 11025, n = rate * 4 / 10;
    QByteArray samples;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        const double f = 220 - 80 * t;
        const double env = std::exp(-t * 6);
        samples.append(char(128 + int(100 * env * std::sin(2 * M_PI * f * t))));
    }
    QByteArray b = "RIFF";
    Le(b, 36 + n, 4);
    b += "WAVEfmt ";
    Le(b, 16, 4);
    Le(b, 1, 2);
    Le(b, 1, 2);
    Le(b, rate, 4);
    Le(b, rate, 4);
    Le(b, 1, 2);
    Le(b, 8, 2);
    b += "data";
    Le(b, n, 4);
    return b + samples;
}

void Be(QByteArray& b, quint32 v, int n)
{
    for (int i = n - 1; i >= 0; --i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A format-0 MIDI file playing the notes as quarter notes on one instrument.
QByteArray Midi(const QList<int>& notes, int program)
{
    QByteArray track;
    track += QByteArray::fromHex("00ff510307a120"); // 120 bpm
    track.append(char(0x00));
    track.append(char(0xC0));
    track.append(char(program));
    for (int note : notes) {
        track.append(char(0x00));
        track.append(char(0x90));
        track.append(char(note));
        track.append(char(0x60));
        track += QByteArray::fromHex("8360"); // 480 ticks
        track.append(char(0x80));
        track.append(char(note));
        track.append(char(0x40));
    }
    track += QByteArray::fromHex("00ff2f00");
    QByteArray b = "MThd";
    Be(b, 6, 4);
    Be(b, 0, 2);
    Be(b, 1, 2);
    Be(b, 480, 2);
    b += "MTrk";
    Be(b, quint32(track.size()), 4);
    return b + track;
}

FishCharacter Character(BmpFormat format, int frames)
{
    FishCharacter c;
    c.Format = format;
    c.AnimationDataNo = frames;
    return c;
}

} // namespace

// A file's icon: a page with a folded corner, the program's tank on it (an aquarium file)
// or its fish alone (a fish character file).
QImage FileIcon(int size, bool character)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QPainterPath page;
    page.moveTo(5, 1.5);
    page.lineTo(21, 1.5);
    page.lineTo(27, 7.5);
    page.lineTo(27, 30.5);
    page.lineTo(5, 30.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 100, 120), 0.8));
    p.setBrush(QColor(250, 250, 252));
    p.drawPath(page);
    p.setBrush(QColor(210, 215, 225));
    QPainterPath corner;
    corner.moveTo(21, 1.5);
    corner.lineTo(21, 7.5);
    corner.lineTo(27, 7.5);
    corner.closeSubpath();
    p.drawPath(corner);
    if (character) {
        p.scale(1 / 4.0, 1 / 4.0); // the fish's own pixels, a quarter of a unit each
        DrawFish(p, QRectF(28, 52, 72, 36), QColor(60, 90, 220), QColor(230, 60, 60), 0, true);
    } else {
        p.drawImage(QRectF(7, 10, 18, 18), DrawAppIcon(256));
    }
    return image;
}

// The program's icon and the two file types' icons, as installed in the hicolor theme:
// ICON-FOLDER/<size>/aquarium-maker.png and <size>/application-x-ulvaro-*.png.
void SaveIcons(const QString& folder)
{
    for (const int size : {48, 64, 128, 256}) {
        const QString at = folder + QStringLiteral("/%1").arg(size);
        QDir().mkpath(at);
        DrawAppIcon(size).save(at + u"/aquarium-maker.png"_qs, "PNG");
        FileIcon(size, false).save(at + u"/application-x-ulvaro-aquarium.png"_qs, "PNG");
        FileIcon(size, true).save(at + u"/application-x-ulvaro-character.png"_qs, "PNG");
    }
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: sample-generator OUTPUT-FOLDER [ICON-FOLDER]\n");
        return 2;
    }
    if (argc == 3)
        SaveIcons(QString::fromLocal8Bit(argv[2]));
    g_out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(g_out + u"/data"_qs);
    QDir().mkpath(g_out + u"/midi"_qs);

    Save(ShadowMappingFish(), u"neon"_qs);
    Save(AnimatedFish(), u"guppy"_qs);
    Save(FishPicture(96, 72, QColor(230, 230, 240), QColor(120, 120, 140)), u"angel"_qs);
    Save(FishPicture(90, 40, QColor(200, 60, 50), QColor(250, 200, 120)), u"tetra"_qs);
    Save(FishPicture(80, 64, QColor(120, 70, 30), QColor(240, 150, 60)), u"discus"_qs);
    Save(FishPicture(70, 36, QColor(150, 140, 110), QColor(220, 210, 180)), u"cory"_qs);
    Save(Plant(140, 260, QColor(40, 150, 60), 5, 0.6), u"kusa"_qs);
    Save(Plant(110, 200, QColor(90, 170, 40), 4, -0.7), u"kusa2"_qs);
    Save(GrassCarpet(320, 48), u"shiba"_qs);
    Save(Rock(180, 110), u"iwa"_qs);
    Save(Shell(60, 44), u"kai"_qs);
    Save(Coral(150, 130), u"sango"_qs);
    Save(Sand(), u"sand"_qs);
    Save(Bubbles(), u"bubble"_qs);
    Save(Food(), u"esa"_qs);
    Save(Background(), u"back"_qs);
    WriteBytes(g_out + u"/data/boo-n.wav"_qs, Wave());
    WriteBytes(g_out + u"/midi/umi.mid"_qs, Midi({60, 64, 67, 72, 67, 64, 60}, 11));
    WriteBytes(g_out + u"/midi/nami.mid"_qs, Midi({57, 60, 64, 62, 60, 57}, 88));

    // Everything below is written by the editor's own writers, on the host path as Z:.
    const Files files{PathMap(QStringLiteral("/nonexistent-prefix"))};
    const QString folder = files.Paths().ToWindows(g_out) + u'\\';
    FishCharacter neon = Character(BmpFormat::ShadowMapping, 2);
    neon.PreferredLayer = u"中層が好き"_qs;
    neon.SchoolingFrequency = u"80"_qs;
    FishCharacter guppy = Character(BmpFormat::Animation, 4);
    guppy.AnimLoop = true;
    FishCharacter angel = Character(BmpFormat::XStretch, 8);
    angel.StretchDX = 20;
    angel.AnimLoop = true;
    angel.Slow = true;
    FishCharacter tetra = Character(BmpFormat::HWave, 8);
    tetra.StretchDY = 20;
    tetra.WaveLength = 6;
    FishCharacter discus = Character(BmpFormat::VWave2, 6);
    discus.StretchDX = 16;
    discus.GatherAtAccessory = true;
    discus.HomePosition = u"data\\iwa.bmp"_qs;
    FishCharacter cory = Character(BmpFormat::YStretch, 4);
    cory.StretchDY = 10;
    cory.AnimLoop = true;
    cory.PreferredLayer = u"底が大好き"_qs;
    cory.UpDownLiking = u"上下嫌い"_qs;
    cory.FrontGlass = true;
    const std::pair<QString, FishCharacter> characters[] = {
            {u"neon"_qs, neon},   {u"guppy"_qs, guppy},   {u"angel"_qs, angel},
            {u"tetra"_qs, tetra}, {u"discus"_qs, discus}, {u"cory"_qs, cory}};
    for (const auto& [name, c] : characters)
        SaveFishCharacter(files, c, folder + u"data\\"_qs + name);

    Aquarium doc;
    doc.DataFolder = folder;
    doc.DataSubFolder = u"data\\"_qs;
    const QString amounts[] = {u"8"_qs, u"4"_qs, u"2"_qs, u"6"_qs, u"2"_qs, u"3"_qs};
    for (int i = 0; i < 6; ++i)
        doc.Fish[size_t(i)] = {u"data\\"_qs + characters[i].first,
                               QString::number(characters[i].second.FishDataNo), amounts[i]};
    doc.FishCountsFixed = true;
    doc.Aeration = AerationPosition::Left;
    doc.BackgroundSource = u"data\\back.bmp"_qs;
    doc.SandName = u"data\\sand"_qs;
    doc.BubbleName = u"data\\bubble"_qs;
    doc.FoodName = u"data\\esa"_qs;
    doc.SoundName = u"data\\boo-n"_qs;
    doc.IntermittentSound = true;
    doc.IntermittentStep = 50;
    const QString bitmaps[] = {u"data\\kusa"_qs, u"data\\kusa2"_qs, u"data\\shiba"_qs,
                               u"data\\iwa"_qs,  u"data\\kai"_qs,   u"data\\sango"_qs};
    for (int i = 0; i < 6; ++i)
        doc.ObjectBmpTable[size_t(i)].BmpName = bitmaps[i];
    doc.LastObjectBmp = 5;
    // Plants that sway at the back and in the middle, a carpet of grass spread across the
    // width, a rock and a shell in front, a coral hanging from the middle line.
    const PlacedObject objects[] = {
            {2, 0, 2, 10, 0, 1}, {0, 0, 2, 3, 1, 0}, {1, 0, 2, 16, 1, 0}, {5, 2, 1, 13, 0, 0},
            {0, 2, 2, 7, 1, 0},  {3, 4, 2, 5, 0, 0}, {4, 4, 2, 14, 0, 0}};
    for (size_t i = 0; i < std::size(objects); ++i)
        doc.ObjectTable[i] = objects[i];
    doc.LastObject = int(std::size(objects)) - 1;
    SaveAquariumFile(files, doc, folder + u"tetra.uld"_qs);

    Aquarium reef = doc;
    reef.Fish = {};
    reef.Fish[0] = {u"data\\tetra"_qs, u"1"_qs, u"10"_qs};
    reef.Fish[1] = {u"data\\angel"_qs, u"1"_qs, u"3"_qs};
    reef.FishCountsFixed = false;
    reef.AquariumType = 3;
    reef.BackgroundSource = u"null"_qs;
    reef.BackgroundColourFill = true;
    reef.BackgroundRed = 10;
    reef.BackgroundGreen = 60;
    reef.BackgroundBlue = 110;
    reef.BackgroundSource = ColourDigits(reef.BackgroundColourValue());
    reef.IntermittentSound = false;
    reef.ObjectTable[0] = {5, 0, 2, 4, 0, 0};
    reef.ObjectTable[1] = {5, 2, 2, 15, 0, 0};
    reef.ObjectTable[2] = {3, 4, 2, 9, 0, 0};
    reef.LastObject = 2;
    SaveAquariumFile(files, reef, folder + u"reef.uld"_qs);

    files.WriteLines(folder + u"random.uld"_qs, {u"reef.uld"_qs, u"tetra.uld"_qs});
    files.WriteLines(folder + u"midi\\sample.lst"_qs, {u"umi.mid"_qs, u"nami.mid"_qs});
    std::printf("sample written to %s\n", qPrintable(g_out));
    return 0;
}
