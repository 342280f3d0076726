#pragma once

#include <QKeySequence>

#include <functional>

class QWidget;

namespace aquarium {

// Chains the Tab order of the focusable widgets inside page as they read: rows from top to
// bottom (tops within a few pixels make one row), each row from left to right.
void OrderTabsByPosition(QWidget* page);

// Runs action when keys are pressed anywhere in window (the window must be active).
void OnKeys(QWidget* window, const QKeySequence& keys, const std::function<void()>& action);

// Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, wherever the focus is in window: no field or
// box keeps these keys for an undo of its own. Covers the widgets window holds now.
void OnUndoKeys(QWidget* window, const std::function<void()>& undo,
                const std::function<void()>& redo);
// Only the second half: the fields and boxes of window leave those keys to the window's
// own shortcuts (a menu's).
void KeepUndoKeysFromFields(QWidget* window);

} // namespace aquarium
