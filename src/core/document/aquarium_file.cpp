#include "core/document/aquarium_file.h"

#include "core/document/line_scan.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"

#include <algorithm>

namespace aquarium {

std::array<int, kMaxObjectBmps> CompactObjectBmps(Aquarium& doc)
{
    std::array<bool, kMaxObjectBmps> used{};
    for (int i = 0; i <= doc.LastObject && i < kMaxObjects; ++i) {
        const int index = doc.ObjectTable[size_t(i)].BmpIndex;
        if (index >= 0 && index < kMaxObjectBmps)
            used[size_t(index)] = true;
    }
    std::array<int, kMaxObjectBmps> number{};
    int next = 0;
    for (int e = 0; e < kMaxObjectBmps; ++e) {
        if (!used[size_t(e)])
            doc.ObjectBmpTable[size_t(e)].BmpName.clear();
        number[size_t(e)] = used[size_t(e)] ? next++ : -1;
    }
    return number;
}

QStringList AquariumFileLines(const Files& files, Aquarium& doc)
{
    const std::array<int, kMaxObjectBmps> number = CompactObjectBmps(doc);
    const QString tab = QStringLiteral("\t");

    QStringList lines = {QStringLiteral("//"), kAquariumMagic, QStringLiteral("//"), QString(),
                         QStringLiteral("//Ulvaro Data"), kOptionSection};
    if (doc.FishCountsFixed) {
        int total = 0;
        for (const FishSlot& slot : doc.Fish) {
            if (!slot.CharacterName.isEmpty())
                total += NumberOrOne(slot.FishAmount);
        }
        lines << tab + kNumberOfFishesKey + u" =\t"_qs + QString::number(total);
    }
    lines << tab + kAerationKey + u"  =\t"_qs + kAerationWords[size_t(doc.Aeration)];

    const QString background = doc.BackgroundSource;
    const QString tested = PathMap::IsAbsolute(background) ? background
                                                          : doc.DataFolder + background;
    if (files.FileExists(tested)) {
        if (!doc.DataFolder.isEmpty()
            && AsciiLower(background).startsWith(AsciiLower(doc.DataFolder)))
            doc.BackgroundSource = background.mid(doc.DataFolder.size());
        lines << tab + kBitmapFileKey + u"     =\t"_qs + doc.BackgroundSource + u",\t"_qs
                         + (doc.BackgroundTiling ? kTiling : kStretch);
    } else if (doc.BackgroundColourFill) {
        lines << tab + kBitmapFileKey + u"     =\t"_qs + doc.BackgroundSource;
    }
    if (doc.AquariumType != 0) {
        lines << tab + kAquariumTypeKey + u"   =\t"_qs + QString::number(std::min(doc.AquariumType, 3));
    }
    lines << QString() << kFishSection;
    for (const FishSlot& slot : doc.Fish) {
        if (slot.CharacterName.isEmpty())
            continue;
        lines << tab + slot.CharacterName + u",\t1,\t"_qs
                         + QString::number(NumberOrOne(slot.FishDataNo)) + u",\t"_qs
                         + QString::number(NumberOrOne(slot.FishAmount));
    }
    lines << kDataEnd << QString();
    lines << QStringLiteral("//底砂データ") << kBottomSection << tab + doc.SandName << QString();
    lines << QStringLiteral("//泡画像データ") << kBubbleSection << tab + doc.BubbleName << QString();
    lines << QStringLiteral("//餌画像データ") << kFoodSection << tab + doc.FoodName << QString();
    lines << QStringLiteral("//効果音データ") << kSoundSection;
    if (doc.IntermittentSound) {
        lines << tab + kNone << QString() << kSound2Section << tab + doc.SoundName
              << tab + kIntermittent + u",\t"_qs + QString::number(doc.IntermittentStep * 200);
    } else {
        lines << tab + doc.SoundName;
    }
    lines << QString() << QStringLiteral("// アクセサリの画像データ") << kObjectBmpSection;
    for (int e = 0; e <= doc.LastObjectBmp && e < kMaxObjectBmps; ++e) {
        if (!doc.ObjectBmpTable[size_t(e)].BmpName.isEmpty())
            lines << tab + doc.ObjectBmpTable[size_t(e)].BmpName;
    }
    lines << kDataEnd << QString() << QStringLiteral("// アクセサリのデータ") << kObjectSection;
    for (int i = 0; i <= doc.LastObject && i < kMaxObjects; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        const int n = (o.BmpIndex >= 0 && o.BmpIndex < kMaxObjectBmps)
                              ? number[size_t(o.BmpIndex)]
                              : 0;
        const QString& layer = kDepthWords[o.Layer == 2 ? 1 : o.Layer == 4 ? 2 : 0];
        const QString& anchor = kAnchorWords[size_t(std::clamp(o.VerticalAnchor, 0, 2))];
        QString line = tab + QString::number(n) + u",\t"_qs + layer + u",\t"_qs + anchor + u",\t"_qs
                       + QString::number(o.XPosition);
        if (o.Sway || o.Spread) {
            line += u",\t"_qs;
            if (o.Sway && o.Spread)
                line += kSwayAndSpreadWord;
            else if (o.Sway)
                line += kSwayWord;
            else
                line += kSpreadWord;
        }
        lines << line;
    }
    lines << kDataEnd << QString() << QStringLiteral("// END");
    return lines;
}

void SaveAquariumFile(const Files& files, Aquarium& doc, const QString& path)
{
    files.WriteLines(path, AquariumFileLines(files, doc));
}

void ResetForLoad(Aquarium& doc)
{
    for (FishSlot& slot : doc.Fish)
        slot = FishSlot();
    doc.FishCountsFixed = false;
    doc.BackgroundTiling = false;
    doc.BackgroundColourFill = false;
    doc.IntermittentSound = false;
    doc.BackgroundSource = kNone;
    doc.Aeration = AerationPosition::Right;
    doc.AquariumType = 0;
}

namespace {

// The characters after the first "=" (the whole line when there is none), at most 255,
// trimmed.
QString OptionValue(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    return Trim((equals < 0 ? line : line.mid(equals + 1)).left(255));
}

void ReadOption(const QString& line, Aquarium& doc)
{
    const QString upper = UpperCase(line);
    if (upper.contains(UpperCase(kNumberOfFishesKey))) {
        doc.FishCountsFixed = true;
    } else if (upper.contains(UpperCase(kAerationKey))) {
        if (upper.contains(kAerationWords[size_t(AerationPosition::All)]))
            doc.Aeration = AerationPosition::All;
        else if (upper.contains(kAerationLeft))
            doc.Aeration = AerationPosition::Left;
        else if (upper.contains(kAerationCentre))
            doc.Aeration = AerationPosition::Centre;
        else if (upper.contains(kAerationWords[size_t(AerationPosition::Left)]))
            doc.Aeration = AerationPosition::Left;
        else if (upper.contains(kAerationWords[size_t(AerationPosition::Centre)]))
            doc.Aeration = AerationPosition::Centre;
    } else if (upper.contains(UpperCase(kBitmapFileKey))) {
        const QString value = OptionValue(line);
        if (!value.contains(u'.')) {
            const quint32 c = quint32(HexToInt(value));
            doc.BackgroundRed = int(c % 256);
            doc.BackgroundGreen = int((c / 256) % 256);
            doc.BackgroundBlue = int(std::min<quint32>(c / 65536, 255));
            doc.BackgroundColourFill = true;
            doc.BackgroundSource = ColourDigits(doc.BackgroundColourValue());
        } else {
            QString name = Trim(value.left(value.indexOf(u',') < 0 ? value.size()
                                                                   : value.indexOf(u',')));
            if (!name.contains(u":\\"))
                name = doc.DataFolder + name;
            doc.BackgroundSource = AsciiLower(name);
            doc.BackgroundTiling = UpperCase(value).contains(UpperCase(kTiling));
        }
    } else if (upper.contains(UpperCase(kAquariumTypeKey))) {
        const int type = StrToInt(OptionValue(line));
        // The radio group holds 0..3; any other number leaves it as it was.
        if (type >= 0 && type <= 3)
            doc.AquariumType = type;
    }
}

// One fish line into slot; false when it is malformed. last: the section ends here.
bool ReadFishLine(const QString& line, FishSlot* slot, bool& last)
{
    const qsizetype first = line.indexOf(u',');
    if (first < 0 || line.indexOf(u',', first + 1) < 0)
        return false;
    const QString name = StripExtension(Trim(line.left(first)));
    if (!name.contains(u'\\'))
        return false;
    QString rest = Trim(line.mid(first + 1));
    rest = Trim(rest.mid(rest.indexOf(u',') + 1));
    const qsizetype split = rest.indexOf(u',');
    QString dataNo;
    QString amount = QStringLiteral("1");
    if (split >= 0 && split < rest.size() - 1) {
        dataNo = Trim(rest.left(split));
        amount = Trim(rest.mid(split + 1));
    } else {
        dataNo = rest;
        last = true;
    }
    if (slot) {
        slot->CharacterName = name;
        slot->FishDataNo = dataNo;
        slot->FishAmount = amount;
    }
    return true;
}

bool ReadObjectLine(const QString& line, PlacedObject& o)
{
    const QString upper = UpperCase(line);
    const QStringList parts = upper.split(u',');
    if (parts.size() < 4)
        return false;
    int value = 0;
    o.BmpIndex = TryStrToInt(Trim(parts[0]), value) ? value : 0;
    const QString layer = Trim(parts[1]);
    o.Layer = layer == UpperCase(kDepthWords[1]) ? 2 : layer == UpperCase(kDepthWords[2]) ? 4 : 0;
    const QString anchor = Trim(parts[2]);
    o.VerticalAnchor = anchor == UpperCase(kAnchorWords[1]) ? 1 : anchor == UpperCase(kAnchorWords[0]) ? 0 : 2;
    value = 0;
    o.XPosition = std::clamp(TryStrToInt(Trim(parts[3]), value) ? value : 0, 0, 19);
    const QString kind = parts.size() > 4 ? Trim(parts.mid(4).join(u',')) : QString();
    const bool both = kind == UpperCase(kSwayAndSpreadWord);
    o.Sway = (kind == UpperCase(kSwayWord) || both) ? 1 : 0;
    o.Spread = (kind == UpperCase(kSpreadWord) || both) ? 1 : 0;
    return true;
}

// The value line of a required section searched from start: its index, or -1.
qsizetype SectionValue(const QStringList& lines, const QString& header, qsizetype start,
                       QString& value)
{
    const qsizetype s = FindSection(lines, header, start);
    if (s < 0)
        return -1;
    const qsizetype i = NextDataLine(lines, s);
    value = LineValue(lines, i);
    return i;
}

} // namespace

ReadOutcome ReadAquariumLines(const QStringList& lines, Aquarium& doc)
{
    const qsizetype m = NextDataLine(lines, 0);
    if (LineValue(lines, m) != kAquariumMagic)
        return ReadOutcome::Foreign;

    qsizetype s = FindSection(lines, kOptionSection, m + 1);
    if (s >= 0) {
        while (true) {
            const qsizetype i = NextDataLine(lines, s);
            if (i >= lines.size())
                break;
            const QString value = LineValue(lines, i);
            if (value == kNone)
                break;
            ReadOption(value, doc);
            s = i + 1;
        }
    }

    s = FindSection(lines, kFishSection, m + 1);
    if (s < 0)
        return ReadOutcome::Malformed;
    int slot = 0;
    while (true) {
        const qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return ReadOutcome::Malformed; // no DATA END
        const QString value = LineValue(lines, i);
        s = i + 1;
        if (value == kDataEnd)
            break;
        bool last = false;
        if (!ReadFishLine(value, slot < kFishSlotCount ? &doc.Fish[size_t(slot)] : nullptr, last))
            return ReadOutcome::Malformed;
        ++slot;
        if (last)
            break;
    }

    QString value;
    const qsizetype bottom = SectionValue(lines, kBottomSection, s, value);
    if (bottom < 0)
        return ReadOutcome::Malformed;
    doc.SandName = StripExtension(value);
    const qsizetype slash = value.indexOf(u'\\');
    doc.DataSubFolder = slash >= 0 ? value.left(slash + 1) : QStringLiteral("data\\");

    qsizetype at = SectionValue(lines, kBubbleSection, bottom, value);
    if (at < 0)
        return ReadOutcome::Malformed;
    doc.BubbleName = StripExtension(value);

    const qsizetype food = SectionValue(lines, kFoodSection, at, value);
    if (food >= 0) {
        doc.FoodName = StripExtension(value);
        at = food;
    }
    at = SectionValue(lines, kSoundSection, at, value);
    if (at < 0)
        return ReadOutcome::Malformed;
    doc.SoundName = StripExtension(value);

    const qsizetype sound2 = SectionValue(lines, kSound2Section, at, value);
    if (sound2 >= 0) {
        doc.SoundName = StripExtension(value);
        at = NextDataLine(lines, sound2 + 1);
        const QString line = LineValue(lines, at);
        if (UpperCase(line).contains(UpperCase(kIntermittent))) {
            const qsizetype comma = line.indexOf(u',');
            const int n = StrToInt(Trim(comma < 0 ? line : line.mid(comma + 1)));
            doc.IntermittentStep = std::clamp(n / 200, 1, 600);
            doc.IntermittentSound = true;
        }
    }

    s = FindSection(lines, kObjectBmpSection, at);
    if (s < 0)
        return ReadOutcome::Malformed;
    for (ObjectBmp& entry : doc.ObjectBmpTable)
        entry = ObjectBmp();
    int names = 0;
    while (true) {
        const qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return ReadOutcome::Malformed;
        const QString name = LineValue(lines, i);
        s = i + 1;
        if (name == kDataEnd)
            break;
        if (names == kMaxObjectBmps)
            return ReadOutcome::Malformed;
        doc.ObjectBmpTable[size_t(names++)].BmpName = name;
    }
    doc.LastObjectBmp = names - 1;

    s = FindSection(lines, kObjectSection, s);
    if (s < 0)
        return ReadOutcome::Malformed;
    int objects = 0;
    while (true) {
        const qsizetype i = NextDataLine(lines, s);
        if (i >= lines.size())
            return ReadOutcome::Malformed;
        const QString line = LineValue(lines, i);
        s = i + 1;
        if (UpperCase(line) == kDataEnd)
            break;
        if (objects == kMaxObjects)
            return ReadOutcome::Malformed;
        PlacedObject& o = doc.ObjectTable[size_t(objects)];
        if (!ReadObjectLine(line, o) || o.BmpIndex < 0 || o.BmpIndex >= names)
            return ReadOutcome::Malformed;
        ++objects;
    }
    doc.LastObject = objects - 1;
    return ReadOutcome::Read;
}

} // namespace aquarium
