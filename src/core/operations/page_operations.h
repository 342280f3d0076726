#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace aquarium {

struct AppState;
struct Aquarium;

// What the fish page and the tank page do to the application state; the page widgets
// call these and show the result. Dialogs go through the state's prompts; errors throw.

// --- Fish page -----------------------------------------------------------------------

// Asks for a fish bitmap; the slot then names DataSubFolder + its base name (the folder
// chosen is dropped), both numbers become "1" and the picture is drawn.
void ChooseFishFile(AppState& state, int slot);
// Empties the slot's name and blackens its picture; the numbers stay.
void ClearFishSlot(AppState& state, int slot);
// The slot's FishDataNo was edited: redraws a named slot (the character's own count wins).
void RefreshFishSlot(AppState& state, int slot);

struct EditorRequest
{
    QString CharacterPath;
    int FishDataNo = 1;
};
// A click on the slot's picture: the editor to open, or nothing when the slot is empty
// (then the file dialog ran instead). A FishDataNo that is no integer throws.
[[nodiscard]] std::optional<EditorRequest> OpenCharacterEditor(AppState& state, int slot);

// --- Tank page -----------------------------------------------------------------------

enum class FileItem { Sand, Bubble, Sound, Food, Background };

// Button2, Button8, Button9, Button27: asks for the file and sets the item to
// DataSubFolder + base name; a missing sand, bubble or sound falls back to its default.
void ChooseFileItem(AppState& state, FileItem item);
// Button28: asks for the background picture, starting at the current one.
void ChooseBackground(AppState& state);
// Right-button release over a file button: the item becomes "null".
void ClearFileItem(AppState& state, FileItem item);

// FileListBox2Click: entry index becomes DataSubFolder; every name moves into it.
void ChooseSubFolder(AppState& state, int index);
// The name moved into DataSubFolder (text up to its first backslash replaced); emptied
// when DataFolder + name + extension does not exist. A name without backslash is kept
// as it is, and checked.
[[nodiscard]] QString RebaseFileName(const AppState& state, const QString& name,
                                     const QString& extension);

// CheckBox3 and the three colour scroll bars: the solid colour and its digits.
void SetColourFill(AppState& state, bool on);
void SetBackgroundColour(AppState& state, int red, int green, int blue);
// The tank page's 65 x 65 sample of the solid colour (Image11).
inline constexpr int kColourSwatchSide = 65;
[[nodiscard]] QImage ColourSwatch(const Aquarium& doc);

// The interval label for a scroll bar position in tenths of a second (0.1 ... 60.0).
[[nodiscard]] QString IntervalText(int position);

// ComboBox1: the assumed screen size (unknown text keeps it), then the accessory pictures
// are scaled anew and the tank preview redrawn.
void ChangeScreenResolution(AppState& state, const QString& text);

} // namespace aquarium
