#include "core/state/history.h"

#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

#include <QUndoCommand>

namespace aquarium {

namespace {

// One step: the states before and after an edit. The edit itself has already run when
// the step is pushed, so its first redo does nothing.
class Step : public QUndoCommand
{
public:
    Step(History& history, const QString& name, History::Kept before, History::Kept after)
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
    History::Kept m_before;
    History::Kept m_after;
    bool m_done = false;
};

} // namespace

History::History(AppState& state)
    : m_state(state)
{
    m_stack.setUndoLimit(kMostSteps);
}

History::~History() = default;

History::Kept History::Capture() const
{
    return {m_state, m_state};
}

void History::Restore(const Kept& kept)
{
    static_cast<EditedState&>(m_state) = kept.Values;
    static_cast<Selections&>(m_state) = kept.Selected;
    SyncAccessoryFolder(m_state);
    m_state.View.SelectedObject = -1;
    ViewFollows(m_state);
}

void History::Push(const QString& name, Kept before)
{
    Kept after = Capture();
    if (before.Values == after.Values)
        return;
    m_stack.push(new Step(*this, name, std::move(before), std::move(after)));
}

bool History::Record(const QString& name, const std::function<void()>& body)
{
    Close();
    Kept before = Capture();
    const bool completed = Guard(m_state.UserPrompts, body);
    ViewFollows(m_state);
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
    Kept before = std::move(*m_open);
    m_open.reset();
    ViewFollows(m_state);
    Push(m_openName, std::move(before));
}

QString History::UndoName() const
{
    if (OpenChanged())
        return m_openName;
    return m_stack.canUndo() ? m_stack.undoText() : QString();
}

QString History::RedoName() const
{
    return !OpenChanged() && m_stack.canRedo() ? m_stack.redoText() : QString();
}

bool History::OpenChanged() const
{
    return m_open && !(m_open->Values == static_cast<const EditedState&>(m_state));
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
    m_saved = m_state;
}

void History::MarkRandomListSaved()
{
    m_saved.RandomList = m_state.RandomList;
}

void History::MarkMidiListSaved()
{
    m_saved.MidiList = m_state.MidiList;
    m_saved.MidiFolder = m_state.MidiFolder;
    m_saved.MidiListFile = m_state.MidiListFile;
    m_saved.MidiListShown = m_state.MidiListShown;
}

bool History::DocumentModified() const
{
    return m_state.Doc != m_saved.Doc;
}

bool History::RandomListModified() const
{
    return m_state.RandomList != m_saved.RandomList;
}

bool History::MidiListModified() const
{
    return m_state.MidiList != m_saved.MidiList || m_state.MidiListFile != m_saved.MidiListFile;
}

bool History::Modified() const
{
    return static_cast<const EditedState&>(m_state) != m_saved;
}

} // namespace aquarium
