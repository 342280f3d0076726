// The fish character reader: whatever it reads, writing the record and reading it back
// gives the same record.
#include "core/document/fish_character.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <cstdlib>

using namespace aquarium;

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
    return 0;
}
