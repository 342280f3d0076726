#include "core/state/startup.h"

#include "core/document/aquarium.h"
#include "core/document/fish_picture.h"
#include "core/document/line_scan.h"
#include "core/document/list_logic.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/disk_changes.h"

#include <algorithm>

namespace aquarium {

namespace {

const QString kRegistryKey = QStringLiteral("Software\\Kesso Soft\\Ulvaro");

QString ReadSetting(const Registry& registry, const QString& name, const QString& fallback)
{
    return registry.ReadString(kRegistryKey, name).value_or(fallback);
}

// The screen saver's two settings, without a registry.
class GivenSettings : public Registry
{
public:
    GivenSettings(QString dataFile, QString midiListFile)
        : m_dataFile(std::move(dataFile)), m_midiListFile(std::move(midiListFile))
    {
    }

    std::optional<QString> ReadString(const QString& key, const QString& name) const override
    {
        if (key.compare(kRegistryKey, Qt::CaseInsensitive) != 0)
            return std::nullopt;
        if (name.compare(u"DataFile"_qs, Qt::CaseInsensitive) == 0)
            return m_dataFile;
        if (name.compare(u"BGMFile"_qs, Qt::CaseInsensitive) == 0)
            return m_midiListFile;
        return std::nullopt;
    }

private:
    QString m_dataFile;
    QString m_midiListFile;
};

} // namespace

bool StartWith(AppState& state, const QString& aquariumFile, const QString& midiListFile)
{
    static_cast<StateValues&>(state) = StateValues();
    state.OnDisk.clear();
    Guard(state.UserPrompts, [&] { FormCreate(state, GivenSettings(aquariumFile, midiListFile)); });
    if (!LoadAquariumFile(state, aquariumFile))
        return false;
    state.CurrentFile = aquariumFile;
    return true;
}

void StartUp(AppState& state)
{
    std::unique_ptr<Registry> registry;
    Guard(state.UserPrompts,
          [&] { registry = OpenUserRegistry(state.FileSystem.Paths().PrefixFolder()); });
    if (!registry)
        registry = WineRegistry::FromText(QString());
    Guard(state.UserPrompts, [&] { FormCreate(state, *registry); });
}

void FormCreate(AppState& state, const Registry& registry)
{
    Aquarium& doc = state.Doc;
    const Files& files = state.FileSystem;

    state.Edition98 = false;
    if (ReadSetting(registry, QStringLiteral("KessosUlvaro98"), QStringLiteral("0")) == u"1") {
        doc.DataFolder = ReadSetting(registry, QStringLiteral("DataFile98"), QString());
        state.Edition98 = true;
    } else {
        doc.DataFolder = ReadSetting(registry, QStringLiteral("DataFile"), QString());
    }
    state.MidiFolder = ReadSetting(registry, QStringLiteral("BGMFile"), QString());

    if (doc.DataFolder.startsWith(u'"'))
        doc.DataFolder = doc.DataFolder.mid(1, doc.DataFolder.size() - 2);

    state.MidiListFile = state.MidiFolder;
    const QString folderOfList = FolderOfPath(state.MidiFolder);
    if (state.MidiFolder.size() > 9 && folderOfList != state.MidiFolder) {
        state.MidiFolder = folderOfList;
    } else {
        // Too short to be a path, or no folder part at all: the Windows media folder.
        state.MidiFolder = (files.WindowsFolder() + QStringLiteral("\\media\\")).toLower();
        state.MidiListFile = state.MidiFolder + kDefaultMidiListName;
    }
    if (!state.MidiListFile.endsWith(kListExtension))
        state.MidiListFile = state.MidiFolder + kDefaultMidiListName;
    state.MidiListShown = state.MidiListFile;
    // A list that cannot be read is shown and taken as empty; start-up goes on.
    if (files.FileExists(state.MidiListFile)) {
        state.MidiList.clear();
        Guard(state.UserPrompts, [&] { state.MidiList = files.ReadListFile(state.MidiListFile); });
        RememberOnDisk(state, state.MidiListFile);
    }

    state.CurrentFile.clear();
    state.Configured = !doc.DataFolder.isEmpty();
    if (doc.DataFolder.isEmpty()) {
        QString current = files.CurrentFolder();
        if (!current.endsWith(u'\\'))
            current += u'\\';
        doc.DataFolder = current + QStringLiteral("tetra.uld");
    }
    state.SettingsAquarium = doc.DataFolder;
    CheckFolders(state);

    doc.SandName = doc.DataSubFolder + (state.Edition98 ? QStringLiteral("sand")
                                                        : QStringLiteral("底砂"));
    LoadRandomList(state);
    doc.BubbleName = doc.DataSubFolder + QStringLiteral("bubble");
    doc.SoundName = doc.DataSubFolder + QStringLiteral("boo-n");
    doc.FoodName = doc.DataSubFolder + QStringLiteral("esa");

    state.ScreenWidth = kScreenResolutions[kDefaultResolution].Width;
    state.ScreenHeight = kScreenResolutions[kDefaultResolution].Height;
    doc.LastObject = -1;
    doc.LastObjectBmp = -1;

    ViewCache& view = state.View;
    view = ViewCache();
    view.TankPicture = MakePicture(kPreviewWidth, kPreviewHeight, 0xFFFF00);
    view.NumberStrip = MakePicture(kPreviewWidth, kNumberStripHeight, kWhite);
    for (QImage& picture : view.FishPictures)
        picture = MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
    state.Edits.Clear();
    state.Edits.MarkSaved();
    DrawTankPreview(state);
}

void CheckFolders(AppState& state)
{
    Aquarium& doc = state.Doc;
    doc.DataFolder = FolderOfPath(doc.DataFolder);
    if (!state.FileSystem.FolderExists(doc.DataFolder)) {
        state.UserPrompts.ShowMessage(kBadFolderMessage + doc.DataFolder);
        return;
    }
    ListSubFolders(state);
    if (state.SubFolderEntries.isEmpty()) {
        doc.DataSubFolder.clear();
    } else if (doc.DataSubFolder.isEmpty()) {
        state.SubFolderIndex = 0;
        const QString& first = state.SubFolderEntries.first();
        doc.DataSubFolder = first.mid(1, first.size() - 2) + u'\\';
    }
    SyncAccessoryFolder(state);
}

void ListSubFolders(AppState& state)
{
    const Aquarium& doc = state.Doc;
    state.SubFolderListFolder = doc.DataFolder;
    state.SubFolderEntries.clear();
    for (const QString& name : state.FileSystem.ListFolders(doc.DataFolder))
        state.SubFolderEntries << u'[' + name + u']';
    state.SubFolderIndex = -1;
    if (doc.DataSubFolder.isEmpty())
        return;
    QString wanted = doc.DataSubFolder;
    if (wanted.endsWith(u'\\'))
        wanted.chop(1);
    wanted = (u'[' + wanted + u']').toUpper();
    for (int i = 0; i < state.SubFolderEntries.size(); ++i) {
        if (Trim(state.SubFolderEntries[i]).toUpper() == wanted) {
            state.SubFolderIndex = i;
            break;
        }
    }
}

void SyncAccessoryFolder(AppState& state)
{
    const QString wanted = state.Doc.DataFolder + state.Doc.DataSubFolder;
    if ((state.AccessoryListFolder + u'\\').toUpper() == wanted.toUpper())
        return;
    state.AccessoryListFolder = wanted;
    if (state.AccessoryListFolder.size() > 3 && state.AccessoryListFolder.endsWith(u'\\'))
        state.AccessoryListFolder.chop(1);
}

void LoadRandomList(AppState& state)
{
    state.RandomFileListFolder = state.Doc.DataFolder;
    const QString path = state.Doc.DataFolder + kRandomListName;
    if (!state.FileSystem.FileExists(path))
        return;
    QStringList entries;
    // A file that cannot be read is shown and taken as empty: nothing of another folder's
    // list is written over it later.
    Guard(state.UserPrompts, [&] { entries = state.FileSystem.ReadListFile(path); });
    RememberOnDisk(state, path);
    SortWithoutCase(entries);
    FilterRandomList(entries);
    state.RandomList = entries;
    state.RandomSelected = -1;
}

namespace {

// Whether Shift-JIS holds every entry of a list. When it does not, says so once and the
// list file is left as it is on disk: an entry the user may not even see (an undecodable
// byte read from the file) must not keep the aquarium from being saved.
bool Encodable(AppState& state, const QStringList& list, const QString& file)
{
    for (const QString& entry : list) {
        if (CanEncodeShiftJis(entry))
            continue;
        try {
            (void)EncodeShiftJis(entry);
        } catch (const PlatformError& error) {
            state.UserPrompts.ShowMessage(error.Text() + QStringLiteral(": ") + file
                                          + kListNotRewritten);
        }
        return false;
    }
    return true;
}

} // namespace

void SaveLists(AppState& state)
{
    // Each list is written on its own: an empty random list never keeps the MIDI list
    // from being saved.
    if (!state.RandomList.isEmpty()) {
        FilterRandomList(state.RandomList);
        state.RandomSelected = std::min<int>(state.RandomSelected, int(state.RandomList.size()) - 1);
        const QString path = state.Doc.DataFolder + kRandomListName;
        if (!state.RandomList.isEmpty() && Encodable(state, state.RandomList, path)
            && MayOverwrite(state, path)) {
            state.FileSystem.WriteLines(path, state.RandomList);
            RememberOnDisk(state, path);
            state.Edits.MarkRandomListSaved();
        }
    }
    if (!state.MidiList.isEmpty()) {
        RemoveEmptyEntries(state.MidiList);
        state.MidiSelected = std::min<int>(state.MidiSelected, int(state.MidiList.size()) - 1);
        if (!state.MidiList.isEmpty()) {
            if (state.MidiListShown.isEmpty()) {
                state.MidiListFile = state.MidiFolder + kDefaultMidiListName;
                state.MidiListShown = state.MidiListFile;
            }
            if (Encodable(state, state.MidiList, state.MidiListFile)
                && MayOverwrite(state, state.MidiListFile)) {
                state.FileSystem.WriteLines(state.MidiListFile, state.MidiList);
                RememberOnDisk(state, state.MidiListFile);
                state.Edits.MarkMidiListSaved();
            }
        }
    }
}

} // namespace aquarium
