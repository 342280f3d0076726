#pragma once

#include "core/document/aquarium.h"

#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <optional>

namespace aquarium {

struct AppState;

// What a user edit may change: the document and the two lists, plain values. Each step of
// the history keeps it whole before and after; what a save writes is in it too.
struct EditedState
{
    Aquarium Doc;
    QStringList RandomList; // ListBox1, kept sorted
    QStringList MidiList;   // ListBox2, in the user's order
    QString MidiFolder;     // folder of FileListBox3, with trailing backslash
    QString MidiListFile;   // full path of the MIDI list file
    QString MidiListShown;  // the text of Edit7

    bool operator==(const EditedState&) const = default;
};

// Where the user's selections stand; an undo puts them back with the edit, but a change
// of them alone is no edit.
struct Selections
{
    int RandomSelected = -1; // ListBox1
    int MidiSelected = -1;   // ListBox2
    int SubFolderIndex = -1; // FileListBox2's entry of DataSubFolder
};

// The undo history of the user's edits and what was last loaded or saved. Every edit is
// one step; an undo puts back the values before it, then the pictures that show them are
// made anew. Loading and saving start a new history.
class History
{
public:
    // The steps kept: at a few kilobytes a step, enough to undo any session back to the
    // file as it was loaded.
    static constexpr int kMostSteps = 10000;

    explicit History(AppState& state);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // One edit: runs body in Guard() (an error is shown, what was reached stays) and keeps
    // what it changed as one step named name. Returns whether body ran to its end.
    bool Record(const QString& name, const std::function<void()>& body);
    // An edit that lasts over several events (typing in a field, a drag on the canvas):
    // the first change opens the step, Close() ends it. Record, Undo, Redo and saving
    // close an open step first.
    void Open(const QString& name);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_open.has_value(); }

    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return m_stack.canUndo(); }
    [[nodiscard]] bool CanRedo() const { return m_stack.canRedo(); }
    // The names of the steps an undo and a redo would take (an open step comes first);
    // empty when there is none.
    [[nodiscard]] QString UndoName() const;
    [[nodiscard]] QString RedoName() const;
    // A new history: after a load or a save.
    void Clear();

    // The document and both lists are what the files hold now (after a load or a save).
    void MarkSaved();
    void MarkRandomListSaved();
    void MarkMidiListSaved();
    // Whether the document or a list differs from what was last loaded or saved.
    [[nodiscard]] bool Modified() const;
    // Whether the document alone does, or a list.
    [[nodiscard]] bool DocumentModified() const;
    [[nodiscard]] bool RandomListModified() const;
    [[nodiscard]] bool MidiListModified() const;

    // The stack, for the window to follow (indexChanged) and for tests.
    [[nodiscard]] QUndoStack& Stack() { return m_stack; }

    // The state a step keeps, and putting it back.
    struct Kept
    {
        EditedState Values;
        Selections Selected;
    };
    [[nodiscard]] Kept Capture() const;
    void Restore(const Kept& kept);
    // The open step holds a change (it will be a step when it closes).
    [[nodiscard]] bool OpenChanged() const;

private:
    void Push(const QString& name, Kept before);

    AppState& m_state;
    QUndoStack m_stack;
    std::optional<Kept> m_open; // the state before an open step
    QString m_openName;
    EditedState m_saved;
};

} // namespace aquarium
