#pragma once

#include "core/document/aquarium.h"
#include "core/document/vocabulary.h"

#include <QString>
#include <QStringList>

namespace aquarium {

class Files;

// Clears the names of bitmap entries no placed accessory uses (holes the writer skips;
// pictures and LastObjectBmp stay) and returns, per entry, its number among the names
// written (-1 for a hole).
std::array<int, kMaxObjectBmps> CompactObjectBmps(Aquarium& doc);

// The text of the aquarium file for the document. Compacts the bitmap table and makes
// a background picture name relative to DataFolder (both stored back into the document).
// A relative background name is tested for existence in DataFolder.
[[nodiscard]] QStringList AquariumFileLines(const Files& files, Aquarium& doc);

// Writes the aquarium file to path (a Windows path), replacing it atomically.
void SaveAquariumFile(const Files& files, Aquarium& doc, const QString& path);

// What reading the sections of an aquarium file came to.
enum class ReadOutcome {
    Read,      // every section read
    Foreign,   // the first data line is not the magic line
    Malformed, // a required section or DATA END is missing, a line is short, too many lines
};

// Resets the items a load resets (fish slots, options, background, aeration, type).
void ResetForLoad(Aquarium& doc);

// Reads the sections of an aquarium file's lines into doc, which must have been reset
// and hold DataFolder. Bitmap pictures are not loaded here. A number that does not
// convert throws NotANumber. Never reads past the end of the lines.
[[nodiscard]] ReadOutcome ReadAquariumLines(const QStringList& lines, Aquarium& doc);

} // namespace aquarium
