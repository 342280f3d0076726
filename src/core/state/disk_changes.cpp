#include "core/state/disk_changes.h"

#include "core/document/aquarium.h"
#include "core/document/referenced_files.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

#include <QSet>

namespace aquarium {

namespace {

QString Key(const QString& file)
{
    return file.toUpper();
}

bool Contains(const QStringList& files, const QString& file)
{
    return !file.isEmpty() && files.contains(file, Qt::CaseInsensitive);
}

QString RandomListPath(const AppState& state)
{
    return state.Doc.DataFolder + kRandomListName;
}

// The open file: the aquarium file (unless it is random.uld), random.uld or the MIDI list.
enum class Open { None, Aquarium, RandomList, MidiList };

Open WhichOpen(const AppState& state, const QString& file)
{
    if (file.compare(RandomListPath(state), Qt::CaseInsensitive) == 0)
        return Open::RandomList;
    if (file.compare(state.MidiListFile, Qt::CaseInsensitive) == 0)
        return Open::MidiList;
    if (file.compare(state.CurrentFile, Qt::CaseInsensitive) == 0
        && !IsRandomListFile(state.CurrentFile))
        return Open::Aquarium;
    return Open::None;
}

bool HasEdits(const AppState& state, Open open)
{
    switch (open) {
    case Open::Aquarium: return state.Edits.Modified(); // a load starts everything anew
    case Open::RandomList: return state.Edits.RandomListModified();
    case Open::MidiList: return state.Edits.MidiListModified();
    case Open::None: break;
    }
    return false;
}

} // namespace

void RememberOnDisk(AppState& state, const QString& file)
{
    if (!file.isEmpty())
        state.OnDisk.insert(Key(file), state.FileSystem.Stamp(file));
}

bool ChangedOnDisk(const AppState& state, const QString& file)
{
    const auto known = state.OnDisk.constFind(Key(file));
    if (known == state.OnDisk.cend() || known->Hash.isEmpty())
        return false; // never read, or not there when last seen: nothing to lose
    return state.FileSystem.Stamp(file).Hash != known->Hash;
}

bool MayOverwrite(AppState& state, const QString& file)
{
    if (!ChangedOnDisk(state, file) || !state.FileSystem.FileExists(file))
        return true;
    return state.UserPrompts.Confirm(kOverwriteQuestion, kOverwriteButton);
}

void ReloadFromDisk(AppState& state, const QString& file)
{
    switch (WhichOpen(state, file)) {
    case Open::Aquarium:
        LoadAquariumFile(state, file);
        break;
    case Open::RandomList:
        state.RandomList.clear();
        LoadRandomList(state);
        state.Edits.MarkRandomListSaved();
        break;
    case Open::MidiList:
        try {
            state.MidiList = state.FileSystem.ReadListFile(file);
            state.MidiSelected = -1;
        } catch (const PlatformError&) {
            // Being written still: the next change reads it.
        }
        state.Edits.MarkMidiListSaved();
        RememberOnDisk(state, file);
        break;
    case Open::None:
        break;
    }
}

std::vector<DiskNotice> FollowDisk(AppState& state, const QStringList& folders,
                                   const QStringList& files)
{
    state.FileSystem.Forget(folders, files);
    if (Contains(folders, state.Doc.DataFolder))
        ListSubFolders(state);

    // The pictures drawn from files that changed are drawn anew.
    ViewCache& view = state.View;
    for (const ReferencedFile& f : ReferencedFiles(state.FileSystem, state.Doc)) {
        if (!Contains(files, f.Path))
            continue;
        switch (f.Role) {
        case FileRole::FishBitmap:
        case FileRole::FishCharacter:
            view.FishDrawnFrom[size_t(f.Index)].clear();
            break;
        case FileRole::Accessory:
            view.Sprites.MadeFrom[size_t(f.Index)].clear();
            view.TankScreen = QSize();
            break;
        case FileRole::Sand:
            view.TankScreen = QSize();
            break;
        default:
            break;
        }
    }
    ViewFollows(state);

    std::vector<DiskNotice> notices;
    for (const QString& file : files) {
        const Open open = WhichOpen(state, file);
        if (open == Open::None || !ChangedOnDisk(state, file))
            continue;
        const QString name = FileNamePart(file);
        if (!state.FileSystem.FileExists(file)) {
            notices.push_back({DiskNotice::Deleted, file, kDeletedNotice.arg(name)});
        } else if (HasEdits(state, open)) {
            notices.push_back({DiskNotice::ChangedWithEdits, file, kChangedNotice.arg(name)});
        } else {
            ReloadFromDisk(state, file);
            notices.push_back({DiskNotice::Reloaded, file, kReloadedNotice.arg(name)});
        }
    }
    return notices;
}

QStringList WatchedFiles(const AppState& state)
{
    QStringList files;
    for (const ReferencedFile& f : ReferencedFiles(state.FileSystem, state.Doc))
        files << f.Path;
    for (const QString& open : {state.CurrentFile, RandomListPath(state), state.MidiListFile}) {
        if (!open.isEmpty())
            files << open;
    }
    files.removeDuplicates();
    return files;
}

QStringList WatchedFolders(const AppState& state)
{
    QStringList folders = {state.Doc.DataFolder, state.AccessoryListFolder, state.MidiFolder};
    folders.removeAll(QString());
    folders.removeDuplicates();
    return folders;
}

} // namespace aquarium
