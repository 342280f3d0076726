#pragma once

#include "core/document/aquarium.h"

#include <QImage>
#include <QStringList>
#include <QUndoStack>

#include <array>
#include <functional>
#include <optional>

namespace aquarium {

struct AppState;

// What a user edit may change in the application state, kept whole before and after
// each step. The pictures are shared copies: a step costs what its edit changed.
struct EditedState
{
    Aquarium Doc;
    QStringList RandomList;
    int RandomSelected = -1;
    QStringList MidiList;
    int MidiSelected = -1;
    QString MidiFolder, MidiListFile, MidiListShown;
    int SubFolderIndex = -1;
    std::array<QImage, kFishSlotCount> FishPictures;
    QImage ColourSwatch;
    QImage TankPicture, NumberStrip;
};

// Whether two documents would be written as the same aquarium file and read the same.
[[nodiscard]] bool SameDocument(const Aquarium& a, const Aquarium& b);

// The undo history of the user's edits and what was last loaded or saved. Every edit is
// one step; an undo puts back the whole state before it and redraws what shows it.
// Loading and saving start a new history.
class History
{
public:
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

    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return m_stack.canUndo(); }
    [[nodiscard]] bool CanRedo() const { return m_stack.canRedo(); }
    // A new history: after a load or a save.
    void Clear();

    // The document and both lists are what the files hold now (after a load or a save).
    void MarkSaved();
    void MarkRandomListSaved();
    void MarkMidiListSaved();
    // Whether the document or a list differs from what was last loaded or saved.
    [[nodiscard]] bool Modified() const;
    // Whether the document alone does.
    [[nodiscard]] bool DocumentModified() const;

    // The stack, for the window to follow (indexChanged) and for tests.
    [[nodiscard]] QUndoStack& Stack() { return m_stack; }

    [[nodiscard]] EditedState Capture() const;
    // Puts a captured state back, pictures and tank preview as they were; when the screen
    // resolution has changed since, the accessory pictures and the preview are made anew.
    void Restore(const EditedState& saved);

private:
    void Push(const QString& name, EditedState before);

    AppState& m_state;
    QUndoStack m_stack;
    std::optional<EditedState> m_open; // the state before an open step
    QString m_openName;
    Aquarium m_savedDoc;
    QStringList m_savedRandomList;
    QStringList m_savedMidiList;
    QString m_savedMidiListFile;
};

} // namespace aquarium
