#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace aquarium {

struct AppState;

// One problem found in the files handed to the screen saver.
struct CheckProblem
{
    QString File;    // the file that names it (Windows path)
    QString Item;    // what names it: "[Bottom] data\sand.bmp", "fish 2 data\neon.ulc", ...
    QString Problem; // "missing", "cannot be read: ...", ...
};

// Checks aquarium files and folders (Windows paths; a folder: its aquarium files and its
// random.uld) for names of missing files, fish character files that do not read, list
// entries without their files, and names Shift-JIS cannot hold; then the MIDI list of the
// start-up. The screen saver ignores all of these silently.
[[nodiscard]] std::vector<CheckProblem> CheckAquariumFiles(const AppState& state,
                                                           const QStringList& paths);

} // namespace aquarium
