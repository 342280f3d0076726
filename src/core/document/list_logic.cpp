#include "core/document/list_logic.h"

#include "core/document/vocabulary.h"

#include <algorithm>

namespace aquarium {

namespace {

bool LessWithoutCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

void InsertSorted(QStringList& list, const QString& entry)
{
    const auto place = std::upper_bound(list.begin(), list.end(), entry, LessWithoutCase);
    list.insert(place, entry);
}

void SortWithoutCase(QStringList& list)
{
    std::stable_sort(list.begin(), list.end(), LessWithoutCase);
}

void FilterRandomList(QStringList& list)
{
    list.removeIf([](const QString& e) { return e.isEmpty() || IsRandomListName(e); });
}

void RemoveEmptyEntries(QStringList& list)
{
    list.removeIf([](const QString& e) { return e.isEmpty(); });
}

} // namespace aquarium

namespace aquarium {

int DeleteSelected(QStringList& list, int selected)
{
    if (selected < 0 || selected >= list.size())
        return selected < list.size() ? selected : -1;
    list.removeAt(selected);
    if (list.isEmpty())
        return -1;
    return selected == 0 ? 0 : selected - 1;
}

int InsertAtRow(QStringList& list, const QString& entry, int row)
{
    if (row < 0)
        row = 0;
    if (row >= list.size()) {
        list.append(entry);
        return int(list.size()) - 1;
    }
    list.insert(row, entry);
    return row;
}

int MoveEntry(QStringList& list, int pressRow, int releaseRow)
{
    const int n = int(list.size());
    int r = std::max(releaseRow, 0);
    if (pressRow < 0 || pressRow > n - 1)
        return -1;
    if (r > n - 1)
        r = n;
    if (r == pressRow)
        return -1;
    const QString entry = list.takeAt(pressRow);
    if (r > pressRow)
        --r;
    if (r > int(list.size()) - 1) {
        list.append(entry);
        return int(list.size()) - 1;
    }
    list.insert(r, entry);
    return r;
}

} // namespace aquarium
