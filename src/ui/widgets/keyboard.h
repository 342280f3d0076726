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

} // namespace aquarium
