#include "core/document/fish_character.h"

#include "core/document/line_scan.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/text_file.h"

#include <algorithm>

namespace aquarium {

namespace {

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
        if (UpperCase(line) == kDataEnd)
            return s;
        onLine(line);
    }
}

} // namespace

QString BmpFormatName(BmpFormat format)
{
    return kBmpFormatNames[size_t(std::clamp(int(format), 0, kBmpFormatCount - 1))];
}

QStringList FishCharacterLines(const FishCharacter& c)
{
    const QString tab = QStringLiteral("\t");
    QStringList lines = {QStringLiteral("//"), kCharacterMagic, QStringLiteral("//"), QString(),
                         kBmpDataSection};
    lines << tab + kBmpDataFormatKey + u'=' + BmpFormatName(c.Format);
    lines << tab + kAnimationDataNoKey + u'=' + QString::number(c.AnimationDataNo);
    lines << tab + kFishDataNoKey + u'=' + QString::number(c.FishDataNo);
    if (int(c.Format) >= int(BmpFormat::Animation)) {
        lines << tab + kStretchDXKey + u'=' + QString::number(c.StretchDX);
        lines << tab + kStretchDYKey + u'=' + QString::number(c.StretchDY);
        lines << tab + kAnimLoopKey + u'='
                         + (c.AnimLoop && c.AnimationDataNo != 1 ? u"1"_qs : u"0"_qs);
    }
    if (int(c.Format) >= int(BmpFormat::HWave)) {
        lines << tab + kQuarterWaveKey + u'=' + (c.QuarterWave ? u"1"_qs : u"0"_qs);
        lines << tab + kPhaseKey + u'=' + QString::number(c.Phase);
        lines << tab + kWaveLengthKey + u'=' + QString::number(c.WaveLength);
    }
    lines << kDataEnd << QString() << kMovExtraSection;
    if (c.FrontGlass)
        lines << kFrontGlassLine;
    if (c.PreferredLayer == kLovesTheBottom) {
        lines << QStringLiteral("//上下に動くのが好き") << tab + c.UpDownLiking
              << tab + kUpperRangeKey + c.UpperRange;
    }
    if (c.QuickTurn)
        lines << QStringLiteral("//方向転換処理をしない") << tab + kQuickTurnLine;
    if (c.Slow)
        lines << QStringLiteral("//ゆったり泳ぐ") << tab + kSlowLine;
    if (c.GatherAtAccessory)
        lines << tab + kHomePositionKey + u'=' + c.HomePosition;
    lines << QStringLiteral("//静止する頻度(0-100%)") << tab + c.RestFrequency;
    lines << kDataEnd << QString() << kMovDataSection;
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
    files.WriteLines(characterPath + kCharacterExtension, FishCharacterLines(character));
}

void ReadFishCharacter(const QStringList& lines, FishCharacter& c)
{
    const qsizetype m = NextDataLine(lines, 0);
    if (m >= lines.size() || LineValue(lines, m) != kCharacterMagic)
        return;

    // Bitmap section: keys tested as case-sensitive substrings, the first that occurs acts.
    qsizetype start = m;
    qsizetype s = FindSection(lines, kBmpDataSection, m);
    if (s >= 0) {
        start = ScanSection(lines, s, [&](const QString& line) {
            if (line.contains(kBmpDataFormatKey)) {
                const QString name = KeyValue(line);
                for (int f = 0; f < kBmpFormatCount; ++f) {
                    if (kBmpFormatNames[size_t(f)] == name)
                        c.Format = BmpFormat(f);
                }
            } else if (line.contains(kAnimationDataNoKey)) {
                c.AnimationDataNo = ClampedNumber(line, 1, 64);
            } else if (line.contains(kFishDataNoKey)) {
                c.FishDataNo = StrToInt(KeyValue(line));
            } else if (line.contains(kStretchDXKey)) {
                c.StretchDX = ClampedNumber(line, 0, 50);
            } else if (line.contains(kStretchDYKey)) {
                c.StretchDY = ClampedNumber(line, 0, 50);
            } else if (line.contains(kAnimLoopKey)) {
                c.AnimLoop = StrToInt(KeyValue(line)) >= 1;
            } else if (line.contains(kQuarterWaveKey)) {
                c.QuarterWave = StrToInt(KeyValue(line)) >= 1;
            } else if (line.contains(kPhaseKey)) {
                c.Phase = ClampedNumber(line, 0, 15);
            } else if (line.contains(kWaveLengthKey)) {
                c.WaveLength = ClampedNumber(line, 1, 32);
            }
        });
    }

    // Extra section: keyword lines, each rule in turn, the first match acts.
    s = FindSection(lines, kMovExtraSection, start);
    if (s >= 0) {
        start = ScanSection(lines, s, [&](const QString& line) {
            if (line == kFrontGlassLine) {
                c.FrontGlass = true;
            } else if (line.contains(u"上下")) {
                if (line.contains(u"大大好き"))
                    c.UpDownLiking = kUpDownAdores;
                else if (line.contains(u"大好き"))
                    c.UpDownLiking = kUpDownLoves;
                else if (line.contains(u"嫌い"))
                    c.UpDownLiking = kUpDownDislikes;
                else if (line.contains(u"好き"))
                    c.UpDownLiking = kUpDownLikes;
            } else if (line.contains(kUpperRangeKey)) {
                const qsizetype at = line.indexOf(kUpperRangeKey) + kUpperRangeKey.size();
                c.UpperRange = ShiftJisLeft(line.mid(at), 10);
            } else if (line.contains(kQuickTurnLine)) {
                c.QuickTurn = true;
            } else if (line.contains(kSlowLine)) {
                c.Slow = true;
            } else if (line.contains(kHomePositionKey)) {
                const qsizetype equals = line.indexOf(u'=');
                c.HomePosition = equals < 0 ? QString() : line.mid(equals + 1);
                c.GatherAtAccessory = true;
            } else {
                c.RestFrequency = line;
            }
        });
    }

    // Motion section: nine values by position.
    s = FindSection(lines, kMovDataSection, NextDataLine(lines, start));
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
    const QString path = characterPath + kCharacterExtension;
    if (!files.FileExists(path))
        return;
    ReadFishCharacter(files.ReadLines(path), character);
}

} // namespace aquarium
