// The aquarium file's reader on bytes in memory, and the round trip: what it read, written,
// must read; from then on reading and writing change nothing, neither the document nor
// the bytes. (The first trip may settle what the format cannot say twice: a background
// picture that is not there is dropped, a name left empty by a missing section reads
// back as the "null" that follows it. A colour line followed by a picture line leaves the
// colour fill on with a picture for its source, written as the colour line and so read
// as a picture without the fill: that settles a trip later. And a name with a dot loses
// what follows its last dot at every load, the reader taking it for an extension: such
// documents are only checked to read.)
#include "core/document/aquarium.h"
#include "core/document/aquarium_file.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <cstdlib>

using namespace aquarium;

namespace {

// Reads lines as a load does; nothing when the load would not complete.
std::optional<Aquarium> Read(const QStringList& lines)
{
    Aquarium doc;
    doc.DataFolder = QStringLiteral("C:\\aq\\");
    ResetForLoad(doc);
    try {
        if (ReadAquariumLines(lines, doc) != ReadOutcome::Read)
            return std::nullopt;
    } catch (const PlatformError&) {
        return std::nullopt;
    }
    return doc;
}

// The bytes the writer gives, when the code page can hold them.
std::optional<QByteArray> Write(const Files& files, Aquarium& doc)
{
    try {
        return JoinLinesCrLf(AquariumFileLines(files, doc));
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

// Whether a name of the document holds a dot (see above).
bool DotInNames(const Aquarium& doc)
{
    QStringList names {doc.SandName, doc.BubbleName, doc.FoodName, doc.SoundName};
    for (const FishSlot& slot : doc.Fish)
        names << slot.CharacterName;
    for (const ObjectBmp& entry : doc.ObjectBmpTable)
        names << entry.BmpName;
    for (const QString& name : names) {
        if (name.contains(u'.'))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No file exists in this world: the writer's look at the background finds nothing.
    static const Files files(PathMap(QStringLiteral("/nonexistent-fuzz-prefix")));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    std::optional<Aquarium> first = Read(SplitLines(DecodeShiftJis(bytes), false));
    if (!first)
        return 0;
    const std::optional<QByteArray> once = Write(files, *first);
    if (!once)
        return 0;
    std::optional<Aquarium> second = Read(SplitLines(DecodeShiftJis(*once), false));
    if (!second)
        std::abort(); // what the writer wrote must read
    if (first->BackgroundColourFill
        && first->BackgroundSource != ColourDigits(first->BackgroundColourValue())) {
        const std::optional<QByteArray> again = Write(files, *second);
        second = again ? Read(SplitLines(DecodeShiftJis(*again), false)) : std::nullopt;
        if (!second)
            std::abort();
    }
    if (DotInNames(*second))
        return 0;
    const std::optional<QByteArray> twice = Write(files, *second);
    std::optional<Aquarium> third = twice ? Read(SplitLines(DecodeShiftJis(*twice), false)) : std::nullopt;
    if (!twice || !third || !(*third == *second))
        std::abort();
    const std::optional<QByteArray> thrice = Write(files, *third);
    if (!thrice || *thrice != *twice)
        std::abort();
    return 0;
}
