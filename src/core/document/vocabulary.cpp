#include "core/document/vocabulary.h"

namespace aquarium {

bool IsNamed(const QString& name)
{
    return !name.isEmpty() && name != kNone;
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

bool IsRandomListName(const QString& entry)
{
    return AsciiLower(entry) == kRandomListName;
}

bool IsRandomListFile(const QString& path)
{
    return IsRandomListName(path.mid(path.lastIndexOf(u'\\') + 1));
}

} // namespace aquarium
