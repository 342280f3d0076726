#include "core/operations/list_commands.h"

#include "core/document/aquarium.h"
#include "core/document/list_logic.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/disk_changes.h"

namespace aquarium {

namespace {

int Clamped(int selected, const QStringList& list)
{
    return selected < list.size() ? selected : int(list.size()) - 1;
}

} // namespace

void RandomAddOne(AppState& state, const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    const QString selected = state.RandomSelected >= 0 && state.RandomSelected < state.RandomList.size()
                                     ? state.RandomList[state.RandomSelected]
                                     : QString();
    const qsizetype before = state.RandomList.size();
    InsertSorted(state.RandomList, fileName);
    // The selected entry stays selected where the new one went in before it.
    if (!selected.isEmpty() && state.RandomList.size() == before + 1
        && state.RandomList.value(state.RandomSelected) != selected)
        ++state.RandomSelected;
}

void RandomCopyAll(AppState& state, const QStringList& fileNames)
{
    state.RandomList = fileNames;
    SortWithoutCase(state.RandomList);
    state.RandomSelected = -1;
}

void RandomDeleteOne(AppState& state)
{
    state.RandomSelected = DeleteSelected(state.RandomList, state.RandomSelected);
}

void RandomDeleteAll(AppState& state)
{
    state.RandomList.clear();
    state.RandomSelected = -1;
}

void RandomRevert(AppState& state)
{
    RandomDeleteAll(state);
    QStringList entries =
            state.FileSystem.ReadListFile(state.Doc.DataFolder + kRandomListName);
    SortWithoutCase(entries);
    state.RandomList = entries;
}

void MidiInsertOne(AppState& state, const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    const int selected = Clamped(state.MidiSelected, state.MidiList);
    if (selected >= 0) {
        state.MidiList.insert(selected, fileName);
        state.MidiSelected = selected + 1; // the selected entry moved down with it
    } else {
        state.MidiList.append(fileName);
    }
}

void MidiDropAt(AppState& state, const QString& fileName, int row)
{
    if (fileName.isEmpty())
        return;
    const int selected = Clamped(state.MidiSelected, state.MidiList);
    const int at = InsertAtRow(state.MidiList, fileName, row);
    if (selected >= at)
        state.MidiSelected = selected + 1;
}

void MidiCopyAll(AppState& state, const QStringList& fileNames)
{
    state.MidiList = fileNames;
    state.MidiSelected = -1;
}

void MidiDeleteOne(AppState& state)
{
    state.MidiSelected = DeleteSelected(state.MidiList, state.MidiSelected);
}

void MidiDeleteAll(AppState& state)
{
    state.MidiList.clear();
    state.MidiSelected = -1;
}

void MidiRelease(AppState& state, bool rightButton, int pressRow, int releaseRow)
{
    if (rightButton)
        MidiDeleteOne(state);
    const int moved = MoveEntry(state.MidiList, pressRow, releaseRow);
    if (moved >= 0)
        state.MidiSelected = moved;
}

void MidiRevert(AppState& state)
{
    MidiDeleteAll(state);
    state.MidiList = state.FileSystem.ReadListFile(state.MidiListFile);
}

void LoadMidiListFile(AppState& state)
{
    FileDialogRequest request;
    request.Filter = kMidiListFilter;
    request.InitialFolder = state.MidiFolder;
    const std::optional<QString> chosen = state.UserPrompts.OpenFileName(request);
    if (!chosen)
        return;
    state.MidiListFile = *chosen;
    state.MidiFolder = chosen->left(chosen->lastIndexOf(u'\\') + 1);
    // The list and Edit7 change only when the file reads.
    const QStringList entries = state.FileSystem.ReadListFile(state.MidiListFile);
    state.MidiList = entries;
    state.MidiSelected = -1;
    state.MidiListShown = state.MidiListFile;
    RememberOnDisk(state, state.MidiListFile);
    state.Edits.MarkMidiListSaved();
}

void SaveMidiListFileAs(AppState& state)
{
    RemoveEmptyEntries(state.MidiList);
    state.MidiSelected = Clamped(state.MidiSelected, state.MidiList);
    if (state.MidiList.isEmpty()) {
        state.UserPrompts.ShowMessage(kNoFileNames);
        return;
    }
    FileDialogRequest request;
    request.Filter = kMidiListFilter;
    request.DefaultExtension = QStringLiteral("lst");
    request.InitialFolder = state.MidiFolder;
    request.FileName = state.MidiListFile.isEmpty() ? kListMask : state.MidiListFile;
    const std::optional<QString> chosen = state.UserPrompts.SaveFileName(request);
    if (chosen)
        state.MidiListFile = *chosen;
    state.MidiListShown = state.MidiListFile;
    if (!MayOverwrite(state, state.MidiListFile))
        return;
    state.FileSystem.WriteLines(state.MidiListFile, state.MidiList);
    RememberOnDisk(state, state.MidiListFile);
    state.Edits.MarkMidiListSaved();
}

} // namespace aquarium
