#pragma once

#include "core/document/aquarium.h"
#include "core/document/object_bmp.h"
#include "core/platform/files.h"
#include "core/state/history.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

namespace aquarium {

class Prompts;

inline const QString kProductTitle = QStringLiteral("Kesso's Ulvaro Aquarium Maker");
inline const QString kApplicationTitle = QStringLiteral("Kesso'sUL Aquarium Maker");

// The pages of the main window's notebook, in their order.
inline constexpr int kFishPage = 0;
inline constexpr int kAccessoryPage = 1;
inline constexpr int kTankPage = 2;
inline constexpr int kRandomListPage = 3;
inline constexpr int kMidiListPage = 4;

// The plain values of the application state: the edited values, the selections, the
// folders, the current file, the page and the resolution. A load that does not complete
// puts them back whole.
struct StateValues : EditedState, Selections
{
    QString CurrentFile;
    bool Edition98 = false;
    QString Caption = kProductTitle;

    // FileListBox2: the sub-folders of DataFolder as "[name]".
    QString SubFolderListFolder;
    QStringList SubFolderEntries;
    // Folders the other file lists show (no trailing backslash for FileListBox1).
    QString AccessoryListFolder; // FileListBox1, "*.bmp"
    QString RandomFileListFolder; // FileListBox4, "*.uld"

    int NotebookPage = 0; // one of the pages below

    // The screen resolution the tank preview assumes (ComboBox1): the preview's scale,
    // no part of the document.
    int ScreenWidth = 1024;
    int ScreenHeight = 768;
    [[nodiscard]] QSize Screen() const { return {ScreenWidth, ScreenHeight}; }
};

// The pictures the windows show, made from the state and kept while what they were made
// from stays. No undo step holds them: after an undo they are made anew (ViewFollows).
struct ViewCache
{
    // The fish page's six 150 x 100 pictures, black until drawn, and what each was drawn
    // from (DrawnFrom).
    std::array<QImage, kFishSlotCount> FishPictures;
    std::array<QString, kFishSlotCount> FishDrawnFrom;
    // The accessory page's canvases: tank picture Image4 and number strip Image5, with the
    // sand's height on the picture, and the accessory pictures scaled to it.
    QImage TankPicture;
    QImage NumberStrip;
    int SandHeight = 0;
    AccessorySprites Sprites;
    // What the tank picture was drawn from; it is drawn anew when that changes.
    Aquarium TankDrawnFrom;
    QSize TankScreen;
    // The accessory the pointer is over on the canvas, -1 for none.
    int SelectedObject = -1;
};

// The whole application state the main window shows: its plain values, the pictures made
// from them, and the history of the edits. Views read it and send user edits through the
// operations of the core; they keep no copy of their own.
struct AppState : StateValues
{
    AppState(const Files& files, Prompts& prompts)
        : FileSystem(files), UserPrompts(prompts), Edits(*this)
    {
    }

    const Files& FileSystem;
    Prompts& UserPrompts;

    ViewCache View;

    // The files the editor read or wrote (the aquarium file, random.uld, the MIDI list),
    // each as it was then (Files::Stamp), by upper-cased Windows path.
    QHash<QString, Files::FileStamp> OnDisk;

    // The user's edits as steps to undo, and whether anything is unsaved.
    History Edits;

    // Whether the registry named a data folder (false on a first run: the current folder
    // stands in for it), and the aquarium file it named (the screen saver's own choice).
    bool Configured = true;
    QString SettingsAquarium;
};

// What a fish slot's picture is drawn from: the data folder, the name and the count.
[[nodiscard]] QString FishDrawnFrom(const QString& dataFolder, const FishSlot& slot);

} // namespace aquarium
