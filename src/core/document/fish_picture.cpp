#include "core/document/fish_picture.h"

#include "core/document/line_scan.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"

namespace aquarium {

void ProbeFishDataNo(const Files& files, const QString& dataFolder, FishSlot& slot)
{
    const QString path = dataFolder + slot.CharacterName + kCharacterExtension;
    if (!files.FileExists(path))
        return;
    const QStringList lines = files.ReadLines(path);
    const qsizetype m = NextDataLine(lines, 0);
    if (LineValue(lines, m) != kCharacterMagic)
        return;
    qsizetype s = FindSection(lines, QStringLiteral("[BMP DATA FORMAT]"), m);
    if (s < 0)
        return;
    while (true) {
        const qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return;
        const QString line = LineValue(lines, i);
        s = i + 1;
        if (UpperCase(line) == u"DATA END")
            return;
        const qsizetype equals = line.indexOf(u'=');
        const QString value = Trim(equals < 0 ? line : line.mid(equals + 1));
        if (line.contains(u"BmpDataFormat"))
            continue;
        if (line.contains(u"FishDataNo"))
            slot.FishDataNo = value;
        else if (line.contains(u"AnimationDataNo"))
            (void)StrToInt(value);
    }
}

QImage DrawFishPicture(const Files& files, const QString& dataFolder, const FishSlot& slot)
{
    const int n = NumberOrOne(slot.FishDataNo);
    QImage picture = MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
    const QString path = dataFolder + slot.CharacterName + kBitmapExtension;
    if (!files.FileExists(path))
        return picture;
    const QImage bitmap = files.LoadPicture(path);
    int w = bitmap.width();
    int h = bitmap.height();
    if (PixelAt(bitmap, 0, 0) == kBlack && PixelAt(bitmap, w / 2, 0) == kWhite) {
        // Shadow-mapping layout: the fish is the top-left cell of two columns and n + 1 rows.
        w = w / 2;
        h = Div(h, n + 1);
    }
    if (w <= 0 || h <= 0)
        throw PlatformError::DivisionByZero();
    const int W = kFishPictureWidth;
    const int H = kFishPictureHeight;
    QSize target;
    if (double(W) / w > double(H) / h)
        target = QSize(Div(w * H, h), H);
    else
        target = QSize(W, Div(h * W, w));
    StretchCopy(picture, {0, 0, target.width(), target.height()}, bitmap, {0, 0, w, h});
    return picture;
}

void ShowFishPicture(const Files& files, const QString& dataFolder, FishSlot& slot,
                     QImage& picture)
{
    ProbeFishDataNo(files, dataFolder, slot);
    picture = MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
    picture = DrawFishPicture(files, dataFolder, slot);
}

} // namespace aquarium
