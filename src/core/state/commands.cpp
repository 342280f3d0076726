#include "core/state/commands.h"

#include "core/document/aquarium_file.h"
#include "core/document/fish_picture.h"
#include "core/document/list_logic.h"
#include "core/document/object_bmp.h"
#include "core/document/tank_preview.h"
#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/history.h"
#include "core/state/startup.h"

namespace aquarium {

namespace {

// What a load may change, kept to put back when it does not complete.
struct Snapshot
{
    explicit Snapshot(const AppState& s)
        : doc(s.Doc), caption(s.Caption), randomList(s.RandomList),
          subFolderListFolder(s.SubFolderListFolder), subFolderEntries(s.SubFolderEntries),
          subFolderIndex(s.SubFolderIndex), accessoryListFolder(s.AccessoryListFolder),
          randomFileListFolder(s.RandomFileListFolder), notebookPage(s.NotebookPage)
    {
    }

    void Restore(AppState& s) const
    {
        s.Doc = doc;
        s.Caption = caption;
        s.RandomList = randomList;
        s.SubFolderListFolder = subFolderListFolder;
        s.SubFolderEntries = subFolderEntries;
        s.SubFolderIndex = subFolderIndex;
        s.AccessoryListFolder = accessoryListFolder;
        s.RandomFileListFolder = randomFileListFolder;
        s.NotebookPage = notebookPage;
    }

    Aquarium doc;
    QString caption;
    QStringList randomList;
    QString subFolderListFolder;
    QStringList subFolderEntries;
    int subFolderIndex;
    QString accessoryListFolder;
    QString randomFileListFolder;
    int notebookPage;
};

constexpr int kRandomListPage = 3;
constexpr int kAccessoryPage = 1;

enum class Loaded { Undo, RandomList, Aquarium };

// The steps up to the folder checks; unreadable gets the accessory pictures that could
// not be read.
Loaded ReadInto(AppState& state, const QString& path, QStringList& unreadable)
{
    Aquarium& doc = state.Doc;
    doc.DataFolder = FolderOfPath(path);
    LoadRandomList(state);
    if (IsRandomListName(FileNamePart(path))) {
        state.NotebookPage = kRandomListPage;
        state.Caption = kCaptionPrefix + AsciiLower(FileNamePart(path)) + kCaptionSuffix;
        return Loaded::RandomList;
    }
    const QStringList lines = state.FileSystem.ReadLines(path);
    ResetForLoad(doc);
    switch (ReadAquariumLines(lines, doc)) {
    case ReadOutcome::Foreign:
        state.UserPrompts.ShowMessage(kForeignFileMessage);
        return Loaded::Undo;
    case ReadOutcome::Malformed:
        state.UserPrompts.ShowMessage(kMalformedFileMessage);
        return Loaded::Undo;
    case ReadOutcome::Read:
        break;
    }
    state.Caption = kCaptionPrefix + AsciiLower(FileNamePart(path)) + kCaptionSuffix;
    unreadable = LoadObjectBmps(state.FileSystem, doc);
    doc.DataFolder = path;
    CheckFolders(state);
    SyncAccessoryFolder(state);
    return Loaded::Aquarium;
}

} // namespace

bool LoadAquariumFile(AppState& state, const QString& path)
{
    const Snapshot before(state);
    Loaded loaded = Loaded::Undo;
    QStringList unreadable;
    Guard(state.UserPrompts, [&] { loaded = ReadInto(state, path, unreadable); });
    if (loaded == Loaded::Undo) {
        before.Restore(state);
        return false;
    }
    if (loaded == Loaded::Aquarium) {
        ShowFishPictures(state);
        if (state.NotebookPage == kAccessoryPage)
            Guard(state.UserPrompts, [&] { DrawTankPreview(state); });
        if (!unreadable.isEmpty())
            state.UserPrompts.ShowMessage(kUnreadableAccessoriesMessage
                                          + unreadable.join(u", "_qs));
    }
    state.Edits.Clear();
    state.Edits.MarkSaved();
    return true;
}

void ShowFishPictures(AppState& state)
{
    for (int slot = 0; slot < kFishSlotCount; ++slot) {
        Guard(state.UserPrompts, [&] {
            ShowFishPicture(state.FileSystem, state.Doc.DataFolder, state.Doc.Fish[size_t(slot)],
                            state.FishPictures[size_t(slot)]);
        });
    }
}

void DrawTankPreview(AppState& state)
{
    // An accessory whose picture could not be read shows once its file is there.
    (void)LoadObjectBmps(state.FileSystem, state.Doc, ObjectBmpsToLoad::Missing);
    DrawTankPreview(state.FileSystem, state.Doc, state.TankPicture, state.NumberStrip,
                    InterfaceFont(12));
}

void FormShow(AppState& state, const QString& argument)
{
    state.CurrentFile = argument;
    if (!state.FileSystem.FileExists(state.CurrentFile))
        state.CurrentFile.clear();
    if (!state.CurrentFile.isEmpty() && !LoadAquariumFile(state, state.CurrentFile))
        state.CurrentFile.clear();
}

QString SaveChangesQuestion(const AppState& state)
{
    if (state.CurrentFile.isEmpty())
        return kSaveChangesQuestion;
    return AsciiLower(FileNamePart(state.CurrentFile)) + u" への"_qs + kSaveChangesQuestion;
}

bool AskToSaveChanges(AppState& state)
{
    state.Edits.Close();
    if (!state.Edits.Modified())
        return true;
    switch (state.UserPrompts.Ask(SaveChangesQuestion(state), true)) {
    case Choice::Save: return SaveCommand(state);
    case Choice::Discard: return true;
    case Choice::Cancel: break;
    }
    return false;
}

bool ExitCommand(AppState& state)
{
    return SaveAsCommand(state) || AskToSaveChanges(state);
}

QString WindowTitle(const AppState& state)
{
    const QString& caption = state.Caption;
    if (!caption.startsWith(kCaptionPrefix) || !caption.endsWith(kCaptionSuffix))
        return caption;
    const QString file = caption.sliced(kCaptionPrefix.size(),
                                        caption.size() - kCaptionPrefix.size() - kCaptionSuffix.size());
    return kCaptionPrefix + FileNamePart(file) + kCaptionSuffix;
}

void LoadCommand(AppState& state)
{
    if (!AskToSaveChanges(state))
        return;
    FileDialogRequest request;
    request.Filter = QStringLiteral("Ulvaro Data File|*.uld");
    request.InitialFolder = state.Doc.DataFolder;
    const std::optional<QString> chosen = state.UserPrompts.OpenFileName(request);
    if (!chosen)
        return;
    if (LoadAquariumFile(state, *chosen))
        state.CurrentFile = *chosen;
}

QString RefusedSaveTarget(const AppState& state, const QString& path)
{
    if (IsRandomListName(FileNamePart(path)))
        return kRandomListTargetMessage;
    if (state.FileSystem.SameFile(path, state.MidiListFile))
        return kMidiListTargetMessage.arg(state.MidiListFile);
    return QString();
}

namespace {

// What save and save-as share up to the choice of the name: the lists are written, then
// random.uld open with an unchanged document, or a document without fish, stops. Returns
// whether to go on; saved tells whether what there is to save is saved.
bool SaveListsFirst(AppState& state, bool& saved)
{
    state.Edits.Close();
    SaveLists(state);
    if (IsRandomListName(FileNamePart(state.CurrentFile)) && !state.Edits.DocumentModified()) {
        saved = true; // the lists are all there is to save
        return false;
    }
    for (const FishSlot& slot : state.Doc.Fish) {
        if (!slot.CharacterName.isEmpty())
            return true;
    }
    state.UserPrompts.ShowMessage(kNoFishMessage);
    return false;
}

void SaveTo(AppState& state, const QString& path)
{
    SaveAquariumFile(state.FileSystem, state.Doc, path);
    state.CurrentFile = path;
    state.Caption = kCaptionPrefix + AsciiLower(path) + kCaptionSuffix;
    // Saving compacts the bitmap table and shortens the background name: a new history.
    state.Edits.Clear();
    state.Edits.MarkSaved();
}

} // namespace

bool SaveAsCommand(AppState& state)
{
    bool saved = false;
    Guard(state.UserPrompts, [&] {
        if (!SaveListsFirst(state, saved))
            return;
        FileDialogRequest request;
        request.Filter = QStringLiteral("Ulvaro Data File|*.uld");
        request.DefaultExtension = QStringLiteral("uld");
        request.InitialFolder = state.Doc.DataFolder;
        request.FileName = state.CurrentFile.isEmpty() ? QStringLiteral("*.uld")
                                                       : FileNamePart(state.CurrentFile);
        request.ConfirmOverwrite = true;
        request.ChangesCurrentFolder = true;
        std::optional<QString> chosen;
        for (;;) {
            chosen = state.UserPrompts.SaveFileName(request);
            if (!chosen)
                return;
            const QString refusal = RefusedSaveTarget(state, *chosen);
            if (refusal.isEmpty())
                break;
            state.UserPrompts.ShowMessage(refusal);
        }
        SaveTo(state, *chosen);
        saved = true;
    });
    return saved;
}

bool SaveCommand(AppState& state)
{
    const QString& file = state.CurrentFile;
    if (file.isEmpty() || !RefusedSaveTarget(state, file).isEmpty())
        return SaveAsCommand(state);
    bool saved = false;
    Guard(state.UserPrompts, [&] {
        if (!SaveListsFirst(state, saved))
            return;
        SaveTo(state, QString(file));
        saved = true;
    });
    return saved;
}

} // namespace aquarium
