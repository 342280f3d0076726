#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace aquarium {

struct AppState;

// What the editor tells the user of a file another program changed, in the main window's
// bar (never a box).
struct DiskNotice
{
    enum Kind {
        Reloaded,         // it had no unsaved edits: read again
        ChangedWithEdits, // kept; the user may read it again (ReloadFromDisk) or go on
        Deleted,          // the edits stay; a save writes it anew
    } What;
    QString File; // Windows path
    QString Text;
};

// The files the editor holds open as it read or wrote them last: the aquarium file,
// random.uld, the MIDI list. Called after each read and each save of one.
void RememberOnDisk(AppState& state, const QString& file);
// Whether a file the editor read or wrote changed on disk since (other bytes, or gone).
// The editor's own saves never count.
[[nodiscard]] bool ChangedOnDisk(const AppState& state, const QString& file);
// Before a save over file: when another program changed it since, asks whether to
// overwrite it. Returns whether to write.
[[nodiscard]] bool MayOverwrite(AppState& state, const QString& file);

// Folders and files (Windows paths, as the watch was given them) that other programs
// changed: listings and pictures are made anew (the sub-folder list, the fish pictures,
// the accessory pictures, the tank preview) without touching the document or its history;
// an open file without unsaved edits of it is read again, as a load reads it (its history
// starts anew); otherwise the edits stay. Returns what to tell the user.
std::vector<DiskNotice> FollowDisk(AppState& state, const QStringList& folders,
                                   const QStringList& files);

// "読み込み直す": the open file read again; its unsaved edits are lost.
void ReloadFromDisk(AppState& state, const QString& file);

// The files to watch for the state: the pictures and characters its aquarium names and
// the files it holds open; and the folders its file lists show.
[[nodiscard]] QStringList WatchedFiles(const AppState& state);
[[nodiscard]] QStringList WatchedFolders(const AppState& state);

} // namespace aquarium
