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
#include "core/platform/raster.h"
#include "core/state/app_state.h"
#include "core/state/disk_changes.h"
#include "core/state/history.h"
#include "core/state/startup.h"

namespace aquarium {

namespace {

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
    unreadable = LoadObjectBmps(state.FileSystem, doc, state.Screen(), state.View.Sprites,
                                ObjectBmpsToLoad::All);
    doc.DataFolder = path;
    CheckFolders(state);
    SyncAccessoryFolder(state);
    return Loaded::Aquarium;
}

} // namespace

bool LoadAquariumFile(AppState& state, const QString& path)
{
    const StateValues before = state;
    Loaded loaded = Loaded::Undo;
    QStringList unreadable;
    Guard(state.UserPrompts, [&] { loaded = ReadInto(state, path, unreadable); });
    if (loaded == Loaded::Undo) {
        static_cast<StateValues&>(state) = before;
        state.View.SelectedObject = -1;
        ViewFollows(state);
        return false;
    }
    if (loaded == Loaded::Aquarium) {
        RememberOnDisk(state, path);
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

QString FishDrawnFrom(const QString& dataFolder, const FishSlot& slot)
{
    return slot.CharacterName.isEmpty() ? QString()
                                        : dataFolder + slot.CharacterName + u'|' + slot.FishDataNo;
}

void ShowFishPicture(AppState& state, int slot)
{
    FishSlot& fish = state.Doc.Fish[size_t(slot)];
    QImage& picture = state.View.FishPictures[size_t(slot)];
    QString& drawnFrom = state.View.FishDrawnFrom[size_t(slot)];
    picture = MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
    drawnFrom.clear();
    ShowFishPicture(state.FileSystem, state.Doc.DataFolder, fish, picture);
    drawnFrom = FishDrawnFrom(state.Doc.DataFolder, fish);
}

void ShowFishPictures(AppState& state)
{
    for (int slot = 0; slot < kFishSlotCount; ++slot)
        Guard(state.UserPrompts, [&] { ShowFishPicture(state, slot); });
}

void DrawTankPreview(AppState& state)
{
    // An accessory whose picture could not be read shows once its file is there.
    (void)LoadObjectBmps(state.FileSystem, state.Doc, state.Screen(), state.View.Sprites);
    ViewCache& view = state.View;
    view.TankScreen = QSize();
    view.SandHeight = DrawTankPreview(state.FileSystem, state.Doc, state.Screen(), view.Sprites,
                                      view.TankPicture, view.NumberStrip, InterfaceFont(12));
    view.TankDrawnFrom = state.Doc;
    view.TankScreen = state.Screen();
}

void ViewFollows(AppState& state)
{
    ViewCache& view = state.View;
    // Drawn quietly: what could be shown was shown when the values were first reached.
    for (int slot = 0; slot < kFishSlotCount; ++slot) {
        const FishSlot& fish = state.Doc.Fish[size_t(slot)];
        const QString from = FishDrawnFrom(state.Doc.DataFolder, fish);
        if (from == view.FishDrawnFrom[size_t(slot)])
            continue;
        QImage picture = MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
        try {
            if (!fish.CharacterName.isEmpty())
                picture = DrawFishPicture(state.FileSystem, state.Doc.DataFolder, fish);
        } catch (const PlatformError&) {
        }
        view.FishPictures[size_t(slot)] = picture;
        view.FishDrawnFrom[size_t(slot)] = from;
    }
    (void)LoadObjectBmps(state.FileSystem, state.Doc, state.Screen(), view.Sprites);
    if (state.NotebookPage == kAccessoryPage
        && (view.TankDrawnFrom != state.Doc || view.TankScreen != state.Screen())) {
        try {
            DrawTankPreview(state);
        } catch (const PlatformError&) {
        }
    }
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

bool LoadCommand(AppState& state)
{
    if (!AskToSaveChanges(state))
        return false;
    FileDialogRequest request;
    request.Filter = kAquariumFilter;
    request.InitialFolder = state.Doc.DataFolder;
    const std::optional<QString> chosen = state.UserPrompts.OpenFileName(request);
    if (!chosen || !LoadAquariumFile(state, *chosen))
        return false;
    state.CurrentFile = *chosen;
    return true;
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

// Writes the aquarium file; false when the user would not overwrite what another program
// changed.
bool SaveTo(AppState& state, const QString& path)
{
    if (!MayOverwrite(state, path))
        return false;
    SaveAquariumFile(state.FileSystem, state.Doc, path);
    RememberOnDisk(state, path);
    state.CurrentFile = path;
    state.Caption = kCaptionPrefix + AsciiLower(path) + kCaptionSuffix;
    // Saving compacts the bitmap table and shortens the background name: a new history.
    state.Edits.Clear();
    state.Edits.MarkSaved();
    return true;
}

} // namespace

bool SaveAsCommand(AppState& state)
{
    bool saved = false;
    Guard(state.UserPrompts, [&] {
        if (!SaveListsFirst(state, saved))
            return;
        FileDialogRequest request;
        request.Filter = kAquariumFilter;
        request.DefaultExtension = QStringLiteral("uld");
        request.InitialFolder = state.Doc.DataFolder;
        request.FileName = state.CurrentFile.isEmpty() ? kAquariumMask
                                                       : FileNamePart(state.CurrentFile);
        request.ConfirmOverwrite = true;
        std::optional<QString> chosen;
        for (;;) {
            chosen = state.UserPrompts.SaveFileName(request);
            if (!chosen)
                return;
            // The save dialog makes the chosen folder the current folder, whoever answers it.
            state.FileSystem.SetCurrentFolder(FolderOfPath(*chosen));
            const QString refusal = RefusedSaveTarget(state, *chosen);
            if (refusal.isEmpty())
                break;
            state.UserPrompts.ShowMessage(refusal);
        }
        saved = SaveTo(state, *chosen);
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
        saved = SaveTo(state, QString(file));
    });
    return saved;
}

} // namespace aquarium
