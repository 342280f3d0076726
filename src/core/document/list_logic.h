#pragma once

#include <QString>
#include <QStringList>

namespace aquarium {

// The random aquarium list is kept sorted without regard to case, as a sorted list box
// keeps it; an added entry goes after the entries equal to it.
void InsertSorted(QStringList& list, const QString& entry);
// Sorts a whole list that way, keeping equal entries in their order.
void SortWithoutCase(QStringList& list);

// Drops empty entries and entries naming random.uld.
void FilterRandomList(QStringList& list);
// Drops empty entries.
void RemoveEmptyEntries(QStringList& list);

} // namespace aquarium

namespace aquarium {

// Removes the selected entry (index selected, -1 for none) and returns the new selection:
// the entry before it, or the first when it was the first; -1 when the list is empty.
[[nodiscard]] int DeleteSelected(QStringList& list, int selected);

// Inserts entry before row; at or past the end it is appended. Returns its index.
int InsertAtRow(QStringList& list, const QString& entry, int row);

// Moves the entry pressed at pressRow to where the button was released (releaseRow, rows
// counted from the first entry, a row below 0 counts as 0): before the entry under the
// release point, or at the end when released below the last entry. A press below the last
// entry does nothing. Returns the entry's new index, or -1 when nothing moved.
int MoveEntry(QStringList& list, int pressRow, int releaseRow);

} // namespace aquarium
