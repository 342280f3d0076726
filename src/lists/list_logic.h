#pragma once

#include <QString>
#include <QStringList>

namespace aquarium {

// The random aquarium list is kept sorted without regard to case, as a sorted list box
// keeps it; an added entry goes after the entries equal to it.
void InsertSorted(QStringList& list, const QString& entry);
// Sorts a whole list that way, keeping equal entries in their order.
void SortWithoutCase(QStringList& list);

// Whether an entry is the random list file itself (ASCII letters compared lower-cased).
[[nodiscard]] bool IsRandomListName(const QString& entry);
// Drops empty entries and entries naming random.uld.
void FilterRandomList(QStringList& list);
// Drops empty entries.
void RemoveEmptyEntries(QStringList& list);

} // namespace aquarium
