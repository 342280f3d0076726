#include "core/document/line_scan.h"

#include "core/document/vocabulary.h"

#include <algorithm>

namespace aquarium {

QString Trim(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString UpperCase(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return upper;
}

QString LineAt(const QStringList& lines, qsizetype i)
{
    return (i >= 0 && i < lines.size()) ? lines[i] : QString();
}

bool IsDataLine(const QString& line)
{
    const QString trimmed = Trim(line);
    return !trimmed.isEmpty() && !trimmed.startsWith(u'/') && !trimmed.startsWith(u';');
}

qsizetype NextDataLine(const QStringList& lines, qsizetype i)
{
    for (i = std::max<qsizetype>(i, 0); i < lines.size(); ++i) {
        if (IsDataLine(lines[i]))
            return i;
    }
    return lines.size();
}

qsizetype FindSection(const QStringList& lines, const QString& header, qsizetype start)
{
    const QString wanted = UpperCase(header);
    for (qsizetype i = std::max<qsizetype>(start, 0); i < lines.size(); ++i) {
        if (UpperCase(Trim(lines[i])) == wanted)
            return i + 1;
    }
    return -1;
}

QString LineValue(const QStringList& lines, qsizetype i)
{
    const QString value = Trim(LineAt(lines, i));
    return value.startsWith(u'[') ? kNone : value;
}

} // namespace aquarium
