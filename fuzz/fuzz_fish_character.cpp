// The fish character reader on bytes in memory, and the round trip: whatever it reads,
// written and read back, keeps its bitmap section; and when no text field holds a word
// of the format, from the second writing on the record and the bytes stay the same.
#include "core/document/fish_character.h"
#include "core/document/vocabulary.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <cstdlib>

using namespace aquarium;

namespace {

// Whether a text field of the record holds a word the reader looks for, or a line end:
// such a field reads back as something else (the format cannot say it).
bool WordsInFields(const FishCharacter& c)
{
    static const QStringList words {kCharacterMagic, kBmpDataSection, kMovExtraSection,
        kMovDataSection, kDataEnd, kFrontGlassLine, kUpperRangeKey, kQuickTurnLine, kSlowLine,
        kHomePositionKey, u"["_qs, u"="_qs, u"//"_qs, u"\r"_qs, u"\n"_qs};
    for (const QString* field : {&c.UpDownLiking, &c.UpperRange, &c.HomePosition, &c.RestFrequency,
             &c.TurnFrequency, &c.HorizontalStep, &c.VerticalStep, &c.PreferredLayer,
             &c.MaxSpeedMultiple, &c.FoodRange, &c.SchoolingFrequency, &c.SchoolRange,
             &c.Friendliness}) {
        for (const QString& word : words) {
            if (field->contains(word, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines =
            SplitLines(DecodeShiftJis(QByteArray(reinterpret_cast<const char*>(data), int(size))), false);
    FishCharacter record;
    try {
        ReadFishCharacter(lines, record);
    } catch (const PlatformError&) {
        return 0;
    }
    // Only what the code page holds can be written.
    QStringList written = FishCharacterLines(record);
    bool encodable = true;
    for (const QString& line : written)
        encodable = encodable && CanEncodeShiftJis(line);
    if (!encodable)
        return 0;
    written = SplitLines(DecodeShiftJis(JoinLinesCrLf(written)), false);
    FishCharacter again;
    ReadFishCharacter(written, again);
    // The bitmap section must survive a write exactly. (Keyword lines of the extra section
    // are recognised by substrings, so a text field that holds a keyword reads back as
    // that keyword: a property of the format, not checked here.)
    if (again.Format != record.Format || again.AnimationDataNo != record.AnimationDataNo
        || again.FishDataNo != record.FishDataNo
        || (int(record.Format) >= 2
            && (again.StretchDX != record.StretchDX || again.StretchDY != record.StretchDY))
        || (int(record.Format) >= 6
            && (again.Phase != record.Phase || again.WaveLength != record.WaveLength)))
        std::abort();
    if (WordsInFields(again))
        return 0;
    const QByteArray second = JoinLinesCrLf(FishCharacterLines(again));
    FishCharacter third;
    ReadFishCharacter(SplitLines(DecodeShiftJis(second), false), third);
    if (JoinLinesCrLf(FishCharacterLines(third)) != second)
        std::abort();
    return 0;
}
