#pragma once

#include "core/document/fish_character.h"
#include "core/platform/files.h"
#include "core/state/disk_changes.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace aquarium {

struct AppState;
class RecoveryStore;

// The fish character the editor holds with unsaved edits.
struct CharacterCopy
{
    QString CharacterPath; // Windows path without ".ulc"
    int FishDataNo = 1;
    FishCharacter Fields;
    Files::FileStamp OnDisk; // its file when the editor read it
};

// A recovery copy of unsaved work: the files it belongs to, each as it was on disk when
// read, and what the editor would have saved of each.
struct RecoveryCopy
{
    QString Folder; // host path
    QDateTime Time;
    QString File;   // the aquarium file (Windows path); empty when the work has none yet
    Files::FileStamp FileOnDisk;
    QString DataFolder;
    QStringList Aquarium; // the aquarium file's lines
    QString RandomListFile;
    Files::FileStamp RandomListOnDisk;
    QStringList RandomList;
    QString MidiListFile, MidiFolder, MidiListShown;
    Files::FileStamp MidiListOnDisk;
    QStringList MidiList;
    std::optional<CharacterCopy> Character;

    // The files it holds work for, as the question names them.
    [[nodiscard]] QStringList FilesHeld() const;
};

// Unsaved work kept where a crash cannot take it: a copy written with the program's own
// writers, and offered back at the next start. The copy is removed once nothing is
// unsaved; the program removes it when it ends by the user's choice.
class Recovery
{
public:
    Recovery(AppState& state, RecoveryStore& store) : m_state(state), m_store(store) { }

    // A copy of what is unsaved now (with the fish editor's record when it holds edits);
    // with nothing unsaved, the copy goes. Write errors are let go: the work itself is
    // unharmed, and the next pause tries again.
    void Keep(const std::optional<CharacterCopy>& character);
    void Remove();

    // At start-up, before anything is loaded: the copies of instances that no longer run
    // are offered one by one ("復元" / "破棄" / "後で"); one that cannot be read is named in
    // a message and set aside. Returns the copy restored, if any, with what to say of
    // files that changed on disk since it was taken.
    struct Restored
    {
        RecoveryCopy Copy;
        std::vector<DiskNotice> Notices;
    };
    std::optional<Restored> Offer();

    // The work of a copy, back: the files as they are on disk, the copy's content over
    // them, shown as unsaved with a new history. The copy becomes this instance's.
    std::vector<DiskNotice> Restore(const RecoveryCopy& copy);

    // Reads a copy; nothing when it cannot be read.
    [[nodiscard]] static std::optional<RecoveryCopy> Read(const QString& folder);
    // The same over the copy's files as part(name) gives them (nothing: not there).
    [[nodiscard]] static std::optional<RecoveryCopy> Parse(
            const QString& folder, const std::function<std::optional<QByteArray>(const QString&)>& part);

private:
    AppState& m_state;
    RecoveryStore& m_store;
};

} // namespace aquarium
