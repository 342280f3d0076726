#include "ui/widgets/keyboard.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace aquarium {

void OrderTabsByPosition(QWidget* page)
{
    struct Stop
    {
        QWidget* widget;
        QPoint at;
    };
    std::vector<Stop> stops;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus))
            continue;
        // A part of a widget that takes focus itself (a combo box's line edit) goes with it.
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != page; p = p->parentWidget())
            part = part || (p->focusPolicy() & Qt::TabFocus);
        if (!part)
            stops.push_back({w, w->mapTo(page, QPoint(0, 0))});
    }
    std::sort(stops.begin(), stops.end(),
        [](const Stop& a, const Stop& b) { return a.at.y() < b.at.y(); });
    // Rows: a widget whose top lies within a few pixels of the row's first one joins it.
    constexpr int kRowTolerance = 6;
    for (size_t start = 0; start < stops.size();) {
        size_t end = start + 1;
        while (end < stops.size() && stops[end].at.y() - stops[start].at.y() <= kRowTolerance)
            ++end;
        std::stable_sort(stops.begin() + long(start), stops.begin() + long(end),
            [](const Stop& a, const Stop& b) { return a.at.x() < b.at.x(); });
        start = end;
    }
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1].widget, stops[i].widget);
}

void OnKeys(QWidget* window, const QKeySequence& keys, const std::function<void()>& action)
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, action);
}

namespace {

const QKeySequence kUndoKeys(Qt::CTRL | Qt::Key_Z);
const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                  QKeySequence(Qt::CTRL | Qt::Key_Y)};

// A text field offers to take the undo keys before the window's shortcuts see them (the
// "shortcut override"); this filter refuses that offer for them, so the window's undo runs.
class UndoKeyFilter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            if (pressed == kUndoKeys || pressed == kRedoKeys[0] || pressed == kRedoKeys[1]) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void OnUndoKeys(QWidget* window, const std::function<void()>& undo,
                const std::function<void()>& redo)
{
    OnKeys(window, kUndoKeys, undo);
    for (const QKeySequence& keys : kRedoKeys)
        OnKeys(window, keys, redo);
    KeepUndoKeysFromFields(window);
}

void KeepUndoKeysFromFields(QWidget* window)
{
    auto* filter = new UndoKeyFilter(window);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(filter);
}

} // namespace aquarium
