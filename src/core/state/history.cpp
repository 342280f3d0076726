#include "core/state/history.h"

#include "core/document/object_bmp.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

#include <QUndoCommand>

namespace aquarium {

bool SameDocument(const Aquarium& a, const Aquarium& b)
{
    const auto sameSlots = [&] {
        for (int k = 0; k < kFishSlotCount; ++k) {
            const FishSlot& x = a.Fish[size_t(k)];
            const FishSlot& y = b.Fish[size_t(k)];
            if (x.CharacterName != y.CharacterName || x.FishDataNo != y.FishDataNo
                || x.FishAmount != y.FishAmount)
                return false;
        }
        return true;
    };
    const auto sameAccessories = [&] {
        for (int e = 0; e < kMaxObjectBmps; ++e) {
            if (a.ObjectBmpTable[size_t(e)].BmpName != b.ObjectBmpTable[size_t(e)].BmpName)
                return false;
        }
        for (int i = 0; i <= a.LastObject && i < kMaxObjects; ++i) {
            const PlacedObject& x = a.ObjectTable[size_t(i)];
            const PlacedObject& y = b.ObjectTable[size_t(i)];
            if (x.BmpIndex != y.BmpIndex || x.Layer != y.Layer
                || x.VerticalAnchor != y.VerticalAnchor || x.XPosition != y.XPosition
                || x.Sway != y.Sway || x.Spread != y.Spread)
                return false;
        }
        return true;
    };
    return a.DataFolder == b.DataFolder && a.DataSubFolder == b.DataSubFolder
        && a.FishCountsFixed == b.FishCountsFixed && a.Aeration == b.Aeration
        && a.BackgroundSource == b.BackgroundSource && a.BackgroundTiling == b.BackgroundTiling
        && a.BackgroundColourFill == b.BackgroundColourFill && a.BackgroundRed == b.BackgroundRed
        && a.BackgroundGreen == b.BackgroundGreen && a.BackgroundBlue == b.BackgroundBlue
        && a.AquariumType == b.AquariumType && a.SandName == b.SandName
        && a.BubbleName == b.BubbleName && a.FoodName == b.FoodName && a.SoundName == b.SoundName
        && a.IntermittentSound == b.IntermittentSound && a.IntermittentStep == b.IntermittentStep
        && a.LastObjectBmp == b.LastObjectBmp && a.LastObject == b.LastObject && sameSlots()
        && sameAccessories();
}

namespace {

bool SameEdit(const EditedState& a, const EditedState& b)
{
    return SameDocument(a.Doc, b.Doc) && a.RandomList == b.RandomList && a.MidiList == b.MidiList
        && a.MidiFolder == b.MidiFolder && a.MidiListFile == b.MidiListFile
        && a.MidiListShown == b.MidiListShown;
}

// One step: the states before and after an edit. The edit itself has already run when
// the step is pushed, so its first redo does nothing.
class Step : public QUndoCommand
{
public:
    Step(History& history, const QString& name, EditedState before, EditedState after)
        : QUndoCommand(name)
        , m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
    }

    void undo() override { m_history.Restore(m_before); }
    void redo() override
    {
        if (m_done)
            m_history.Restore(m_after);
        m_done = true;
    }

private:
    History& m_history;
    EditedState m_before;
    EditedState m_after;
    bool m_done = false;
};

} // namespace

History::History(AppState& state)
    : m_state(state)
{
    m_stack.setUndoLimit(200);
}

History::~History() = default;

EditedState History::Capture() const
{
    const AppState& s = m_state;
    return {s.Doc, s.RandomList, s.RandomSelected, s.MidiList, s.MidiSelected, s.MidiFolder,
        s.MidiListFile, s.MidiListShown, s.SubFolderIndex, s.FishPictures, s.ColourSwatch,
        s.TankPicture, s.NumberStrip};
}

void History::Restore(const EditedState& saved)
{
    AppState& s = m_state;
    const int width = s.Doc.ScreenWidth;
    const int height = s.Doc.ScreenHeight;
    s.Doc = saved.Doc;
    s.RandomList = saved.RandomList;
    s.RandomSelected = saved.RandomSelected;
    s.MidiList = saved.MidiList;
    s.MidiSelected = saved.MidiSelected;
    s.MidiFolder = saved.MidiFolder;
    s.MidiListFile = saved.MidiListFile;
    s.MidiListShown = saved.MidiListShown;
    s.SubFolderIndex = saved.SubFolderIndex;
    s.FishPictures = saved.FishPictures;
    s.ColourSwatch = saved.ColourSwatch;
    s.TankPicture = saved.TankPicture;
    s.NumberStrip = saved.NumberStrip;
    s.Doc.SelectedObject = -1;
    SyncAccessoryFolder(s);
    // The resolution is no part of the document: the pictures follow the one chosen now.
    if (saved.Doc.ScreenWidth != width || saved.Doc.ScreenHeight != height) {
        s.Doc.ScreenWidth = width;
        s.Doc.ScreenHeight = height;
        Guard(s.UserPrompts, [&] {
            ReloadObjectBmps(s.FileSystem, s.Doc);
            DrawTankPreview(s);
        });
    }
}

void History::Push(const QString& name, EditedState before)
{
    EditedState after = Capture();
    if (SameEdit(before, after))
        return;
    m_stack.push(new Step(*this, name, std::move(before), std::move(after)));
}

bool History::Record(const QString& name, const std::function<void()>& body)
{
    Close();
    EditedState before = Capture();
    const bool completed = Guard(m_state.UserPrompts, body);
    Push(name, std::move(before));
    return completed;
}

void History::Open(const QString& name)
{
    if (m_open)
        return;
    m_open = Capture();
    m_openName = name;
}

void History::Close()
{
    if (!m_open)
        return;
    EditedState before = std::move(*m_open);
    m_open.reset();
    Push(m_openName, std::move(before));
}

void History::Undo()
{
    Close();
    m_stack.undo();
}

void History::Redo()
{
    Close();
    m_stack.redo();
}

void History::Clear()
{
    m_open.reset();
    m_stack.clear();
}

void History::MarkSaved()
{
    m_savedDoc = m_state.Doc;
    MarkRandomListSaved();
    MarkMidiListSaved();
}

void History::MarkRandomListSaved()
{
    m_savedRandomList = m_state.RandomList;
}

void History::MarkMidiListSaved()
{
    m_savedMidiList = m_state.MidiList;
    m_savedMidiListFile = m_state.MidiListFile;
}

bool History::DocumentModified() const
{
    return !SameDocument(m_state.Doc, m_savedDoc);
}

bool History::Modified() const
{
    return DocumentModified() || m_state.RandomList != m_savedRandomList
        || m_state.MidiList != m_savedMidiList || m_state.MidiListFile != m_savedMidiListFile;
}

} // namespace aquarium
