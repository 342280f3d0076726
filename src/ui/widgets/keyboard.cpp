#include "ui/widgets/keyboard.h"

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

} // namespace aquarium
