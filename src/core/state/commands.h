#pragma once

#include "core/document/vocabulary.h"

#include <QString>

namespace aquarium {

struct AppState;

inline const QString kCaptionPrefix = QStringLiteral("Kesso's Ulvaro Aquarium Maker <<< ");
inline const QString kCaptionSuffix = QStringLiteral(" >>>");

// Replaces the document by the aquarium file at path (a Windows path with a folder part)
// and refreshes every view of it. random.uld only opens the random list page. A load that
// does not complete (foreign file, malformed content, a number that cannot be read) shows
// its message and leaves the state exactly as it was; returns false then. Accessory
// pictures that cannot be read do not stop it: their entries keep their names and draw
// nothing, and one message after the load names them all. Errors while drawing the fish
// pictures and the tank preview afterwards are shown but keep the load. Throws nothing.
bool LoadAquariumFile(AppState& state, const QString& path);

// Redraws the six fish pictures; each slot's error is shown on its own.
void ShowFishPictures(AppState& state);
// Redraws one, taking the fish data count of its character file; errors throw.
void ShowFishPicture(AppState& state, int slot);
// Redraws the accessory page's tank picture and number strip, with the accessory pictures
// made anew where their files or the resolution changed. Errors throw.
void DrawTankPreview(AppState& state);
// After the values changed (an edit, an undo, a load put back): the pictures drawn from
// values that changed are drawn anew, quietly; the tank preview only while its page shows.
void ViewFollows(AppState& state);

// When the main window is first shown: opens the file named on the command line (a
// Windows path; nothing when empty or when no such file exists).
void FormShow(AppState& state, const QString& argument);

// Button6: asks for an aquarium file and loads it (after asking about unsaved work).
// Returns whether a file was loaded.
bool LoadCommand(AppState& state);

// Button7: saves both lists, then asks for a name and writes the aquarium file.
// Stops after the lists when random.uld is the current file and the document holds no
// unsaved edit; refuses when no fish is set. A name that would put the aquarium over one
// of the list files is refused and asked again. Errors are shown. Returns whether
// everything there is to save was saved (the aquarium file, or the lists alone while
// random.uld is open and the document unchanged); a save starts a new history.
bool SaveAsCommand(AppState& state);

// Ctrl+S: the same with the current file's name, without a dialog; save-as when there is
// no current file or it is random.uld or a list file.
bool SaveCommand(AppState& state);

// Before unsaved work would be replaced: when there is any, asks "変更を保存しますか"
// (naming the current file); Save runs the save command. Returns whether to go on
// (nothing unsaved, saved, or discarded).
[[nodiscard]] bool AskToSaveChanges(AppState& state);
// The question's text: "tetra.uld への変更を保存しますか", or without a name when the work
// has no file yet.
[[nodiscard]] QString SaveChangesQuestion(const AppState& state);

// Button1 "終了": the save-as command runs first (the lists are written, then the dialog);
// when it did not save and work is unsaved, AskToSaveChanges decides. Returns whether the
// program is to end: saved, nothing unsaved, or discarded.
[[nodiscard]] bool ExitCommand(AppState& state);

// The main window's title: the caption with the file's name alone, as after a load (the
// caption after a save holds the whole path).
[[nodiscard]] QString WindowTitle(const AppState& state);

// Why path may not take the aquarium file (it is random.uld, in any case, or the MIDI
// list file); empty when it may.
[[nodiscard]] QString RefusedSaveTarget(const AppState& state, const QString& path);

} // namespace aquarium
