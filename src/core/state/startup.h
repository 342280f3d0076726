#pragma once

#include <QString>

namespace aquarium {

struct AppState;
class Registry;

inline constexpr int kNumberStripHeight = 126;

// The program's start-up as the GUI and the tool run it: the user's registry (one that
// cannot be read is shown and taken as empty), then FormCreate. Errors are shown.
void StartUp(AppState& state);

// Creation of the main window's state: reads the screen saver's registry settings,
// derives the folders, loads the MIDI list and the random list, sets the document's
// defaults and prepares the accessory pictures and canvases. Messages go to the prompts.
void FormCreate(AppState& state, const Registry& registry);

// Starts anew as if the registry named aquariumFile's folder as the data folder and
// midiListFile as the MIDI list (Windows paths), then loads aquariumFile: how a first run
// opens the sample aquarium. Returns whether the load completed. Errors are shown.
bool StartWith(AppState& state, const QString& aquariumFile, const QString& midiListFile);

// Cuts DataFolder to its folder, checks that it exists (a message when not) and points
// the sub-folder list at it, choosing DataSubFolder. Ends with SyncAccessoryFolder.
void CheckFolders(AppState& state);

// Lists the sub-folders of DataFolder for FileListBox2 and selects DataSubFolder's entry
// (none when it is not there); the document is not touched.
void ListSubFolders(AppState& state);

// Points the accessory file list at DataFolder + DataSubFolder when it shows another folder.
void SyncAccessoryFolder(AppState& state);

// Points the aquarium file list at DataFolder and, when DataFolder has a random.uld,
// replaces the random list by its entries without empty lines and random.uld itself.
void LoadRandomList(AppState& state);

// Writes the random list to DataFolder\random.uld and the MIDI list to MidiListFile,
// each only when it holds an entry after filtering. A list with an entry Shift-JIS cannot
// hold is not written (a message says so). A write error throws.
void SaveLists(AppState& state);

} // namespace aquarium
