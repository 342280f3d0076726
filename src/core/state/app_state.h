#pragma once

#include "core/document/aquarium.h"
#include "core/state/history.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

namespace aquarium {

class Files;
class Prompts;

inline const QString kProductTitle = QStringLiteral("Kesso's Ulvaro Aquarium Maker");
inline const QString kApplicationTitle = QStringLiteral("Kesso'sUL Aquarium Maker");

// The whole application state the main window shows: the document, the folders, the
// current file, the two lists and what the file lists point at. Views read it and write
// user edits back; they keep no copy of their own.
struct AppState
{
    AppState(const Files& files, Prompts& prompts)
        : FileSystem(files), UserPrompts(prompts), Edits(*this)
    {
    }

    const Files& FileSystem;
    Prompts& UserPrompts;

    Aquarium Doc;
    QString MidiFolder;   // folder of FileListBox3, with trailing backslash
    QString MidiListFile; // full path of the MIDI list file
    QString MidiListShown; // the text of Edit7
    QString CurrentFile;
    bool Edition98 = false;
    QString Caption = kProductTitle;

    QStringList RandomList; // ListBox1, kept sorted
    int RandomSelected = -1;
    QStringList MidiList;   // ListBox2, in the user's order
    int MidiSelected = -1;

    // FileListBox2: the sub-folders of DataFolder as "[name]", and the selected entry.
    QString SubFolderListFolder;
    QStringList SubFolderEntries;
    int SubFolderIndex = -1;
    // Folders the other file lists show (no trailing backslash for FileListBox1).
    QString AccessoryListFolder; // FileListBox1, "*.bmp"
    QString RandomFileListFolder; // FileListBox4, "*.uld"

    int NotebookPage = 0; // 0 fish, 1 accessories, 2 tank, 3 random list, 4 MIDI list

    // The accessory page's canvases: tank picture Image4 and number strip Image5.
    QImage TankPicture;
    QImage NumberStrip;
    // The fish page's six 150 x 100 pictures, black until drawn.
    std::array<QImage, kFishSlotCount> FishPictures;
    // The tank page's 65 x 65 sample of the solid background colour (Image11).
    QImage ColourSwatch;

    // The user's edits as steps to undo, and whether anything is unsaved.
    History Edits;
};

} // namespace aquarium
