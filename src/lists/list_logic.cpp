#include "lists/list_logic.h"

#include <algorithm>

namespace aquarium {

namespace {

bool LessWithoutCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

QString AsciiLower(const QString& text)
{
    QString lower = text;
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return lower;
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

bool IsRandomListName(const QString& entry)
{
    return AsciiLower(entry) == u"random.uld";
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
