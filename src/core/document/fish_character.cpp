#include "core/document/fish_character.h"

#include "core/document/line_scan.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/text_file.h"

#include <algorithm>
#include <array>

namespace aquarium {

namespace {

const std::array<QString, kBmpFormatCount> kFormatNames = {
        QStringLiteral("No_Animation"), QStringLiteral("ShadowMapping"),
        QStringLiteral("Animation"),    QStringLiteral("X_Stretch"),
        QStringLiteral("Y_Stretch"),    QStringLiteral("XY_Stretch"),
        QStringLiteral("H_Wave"),       QStringLiteral("H_Wave2"),
        QStringLiteral("V_Wave"),       QStringLiteral("V_Wave2")};

const QString kUpperRangeKey = QStringLiteral("上に動く範囲=");

// The text after the first "=" (the whole line when it has none), trimmed.
QString KeyValue(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    return Trim(equals < 0 ? line : line.mid(equals + 1));
}

int ClampedNumber(const QString& line, int low, int high)
{
    return std::clamp(StrToInt(KeyValue(line)), low, high);
}

// One pass over a section's lines up to its "DATA END" (any case) or the end of the
// text; returns the index after the DATA END line, or the number of lines.
template <typename OnLine>
qsizetype ScanSection(const QStringList& lines, qsizetype s, OnLine onLine)
{
    while (true) {
        const qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return lines.size();
        const QString line = LineValue(lines, i);
        s = i + 1;
        if (UpperCase(line) == u"DATA END")
            return s;
        onLine(line);
    }
}

} // namespace

QString BmpFormatName(BmpFormat format)
{
    return kFormatNames[size_t(std::clamp(int(format), 0, kBmpFormatCount - 1))];
}

QStringList FishCharacterLines(const FishCharacter& c)
{
    const QString tab = QStringLiteral("\t");
    QStringList lines = {QStringLiteral("//"), kCharacterMagic, QStringLiteral("//"), QString(),
                         QStringLiteral("[BMP DATA FORMAT]")};
    lines << tab + u"BmpDataFormat="_qs + BmpFormatName(c.Format);
    lines << tab + u"AnimationDataNo="_qs + QString::number(c.AnimationDataNo);
    lines << tab + u"FishDataNo="_qs + QString::number(c.FishDataNo);
    if (int(c.Format) >= int(BmpFormat::Animation)) {
        lines << tab + u"StretchDX="_qs + QString::number(c.StretchDX);
        lines << tab + u"StretchDY="_qs + QString::number(c.StretchDY);
        lines << tab + u"AnimLoop="_qs
                         + (c.AnimLoop && c.AnimationDataNo != 1 ? u"1"_qs : u"0"_qs);
    }
    if (int(c.Format) >= int(BmpFormat::HWave)) {
        lines << tab + u"AnimWave1/4="_qs + (c.QuarterWave ? u"1"_qs : u"0"_qs);
        lines << tab + u"Phase="_qs + QString::number(c.Phase);
        lines << tab + u"WaveLength="_qs + QString::number(c.WaveLength);
    }
    lines << QStringLiteral("DATA END") << QString() << QStringLiteral("[MOV EXTRA DATA]");
    if (c.FrontGlass)
        lines << kFrontGlassLine;
    if (c.PreferredLayer == kLovesTheBottom) {
        lines << QStringLiteral("//上下に動くのが好き") << tab + c.UpDownLiking
              << tab + kUpperRangeKey + c.UpperRange;
    }
    if (c.QuickTurn)
        lines << QStringLiteral("//方向転換処理をしない") << tab + u"Quick Turn"_qs;
    if (c.Slow)
        lines << QStringLiteral("//ゆったり泳ぐ") << tab + u"Slow"_qs;
    if (c.GatherAtAccessory)
        lines << tab + u"HomePosition="_qs + c.HomePosition;
    lines << QStringLiteral("//静止する頻度(0-100%)") << tab + c.RestFrequency;
    lines << QStringLiteral("DATA END") << QString() << QStringLiteral("[MOV DATA]");
    const std::array<std::pair<QString, const QString*>, 9> motion = {{
            {QStringLiteral("//泳ぐ向きを変える頻度"), &c.TurnFrequency},
            {QStringLiteral("//泳ぐ早さ　横の移動増分"), &c.HorizontalStep},
            {QStringLiteral("//泳ぐ早さ　縦の移動増分"), &c.VerticalStep},
            {QStringLiteral("//好みの層"), &c.PreferredLayer},
            {QStringLiteral("//すいすい泳ぐ時の最大の速さ(倍数)"), &c.MaxSpeedMultiple},
            {QStringLiteral("//餌の食いつく範囲　体長の倍数"), &c.FoodRange},
            {QStringLiteral("//群れやすさ(0-100%)"), &c.SchoolingFrequency},
            {QStringLiteral("//群を作る範囲　体長の倍数"), &c.SchoolRange},
            {QStringLiteral("//人なつっこさ"), &c.Friendliness},
    }};
    for (const auto& [comment, value] : motion)
        lines << comment << tab + *value;
    return lines;
}

void SaveFishCharacter(const Files& files, const FishCharacter& character,
                       const QString& characterPath)
{
    files.WriteLines(characterPath + QStringLiteral(".ulc"), FishCharacterLines(character));
}

void ReadFishCharacter(const QStringList& lines, FishCharacter& c)
{
    const qsizetype m = NextDataLine(lines, 0);
    if (m >= lines.size() || LineValue(lines, m) != kCharacterMagic)
        return;

    // Bitmap section: keys tested as case-sensitive substrings, the first that occurs acts.
    qsizetype start = m;
    qsizetype s = FindSection(lines, QStringLiteral("[BMP DATA FORMAT]"), m);
    if (s >= 0) {
        start = ScanSection(lines, s, [&](const QString& line) {
            if (line.contains(u"BmpDataFormat")) {
                const QString name = KeyValue(line);
                for (int f = 0; f < kBmpFormatCount; ++f) {
                    if (kFormatNames[size_t(f)] == name)
                        c.Format = BmpFormat(f);
                }
            } else if (line.contains(u"AnimationDataNo")) {
                c.AnimationDataNo = ClampedNumber(line, 1, 64);
            } else if (line.contains(u"FishDataNo")) {
                c.FishDataNo = StrToInt(KeyValue(line));
            } else if (line.contains(u"StretchDX")) {
                c.StretchDX = ClampedNumber(line, 0, 50);
            } else if (line.contains(u"StretchDY")) {
                c.StretchDY = ClampedNumber(line, 0, 50);
            } else if (line.contains(u"AnimLoop")) {
                c.AnimLoop = StrToInt(KeyValue(line)) >= 1;
            } else if (line.contains(u"AnimWave1/4")) {
                c.QuarterWave = StrToInt(KeyValue(line)) >= 1;
            } else if (line.contains(u"Phase")) {
                c.Phase = ClampedNumber(line, 0, 15);
            } else if (line.contains(u"WaveLength")) {
                c.WaveLength = ClampedNumber(line, 1, 32);
            }
        });
    }

    // Extra section: keyword lines, each rule in turn, the first match acts.
    s = FindSection(lines, QStringLiteral("[MOV EXTRA DATA]"), start);
    if (s >= 0) {
        start = ScanSection(lines, s, [&](const QString& line) {
            if (line == kFrontGlassLine) {
                c.FrontGlass = true;
            } else if (line.contains(u"上下")) {
                if (line.contains(u"大大好き"))
                    c.UpDownLiking = QStringLiteral("上下大大好き");
                else if (line.contains(u"大好き"))
                    c.UpDownLiking = QStringLiteral("上下大好き");
                else if (line.contains(u"嫌い"))
                    c.UpDownLiking = QStringLiteral("上下嫌い");
                else if (line.contains(u"好き"))
                    c.UpDownLiking = QStringLiteral("上下好き");
            } else if (line.contains(kUpperRangeKey)) {
                const qsizetype at = line.indexOf(kUpperRangeKey) + kUpperRangeKey.size();
                c.UpperRange = ShiftJisLeft(line.mid(at), 10);
            } else if (line.contains(u"Quick Turn")) {
                c.QuickTurn = true;
            } else if (line.contains(u"Slow")) {
                c.Slow = true;
            } else if (line.contains(u"HomePosition")) {
                const qsizetype equals = line.indexOf(u'=');
                c.HomePosition = equals < 0 ? QString() : line.mid(equals + 1);
                c.GatherAtAccessory = true;
            } else {
                c.RestFrequency = line;
            }
        });
    }

    // Motion section: nine values by position.
    s = FindSection(lines, QStringLiteral("[MOV DATA]"), NextDataLine(lines, start));
    if (s < 0)
        return;
    QString* const fields[] = {&c.TurnFrequency,      &c.HorizontalStep, &c.VerticalStep,
                               &c.PreferredLayer,     &c.MaxSpeedMultiple, &c.FoodRange,
                               &c.SchoolingFrequency, &c.SchoolRange,    &c.Friendliness};
    for (int field = 0; field < 9; ++field) {
        qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return;
        QString value = LineValue(lines, i);
        s = i + 1;
        if (field == 4 && value == kFrontGlassLine) {
            c.FrontGlass = true;
            i = NextDataLine(lines, s);
            if (i >= lines.size())
                return;
            value = LineValue(lines, i);
            s = i + 1;
        }
        *fields[field] = value;
    }
}

void LoadFishCharacter(const Files& files, const QString& characterPath, FishCharacter& character)
{
    const QString path = characterPath + QStringLiteral(".ulc");
    if (!files.FileExists(path))
        return;
    ReadFishCharacter(files.ReadLines(path), character);
}

} // namespace aquarium
