#include "core/platform/registry.h"

#include "core/platform/text_file.h"

#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace aquarium {

namespace {

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Reads a quoted string of user.reg starting after its opening quote at text[i];
// leaves i after the closing quote. Returns nothing when the quote is not closed.
std::optional<QString> ReadQuoted(const QString& text, qsizetype& i)
{
    QString out;
    while (i < text.size()) {
        const QChar c = text[i++];
        if (c == u'"')
            return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (i >= text.size())
            return std::nullopt;
        const QChar e = text[i++];
        switch (e.unicode()) {
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'a': out += QChar(7); break;
        case u'b': out += QChar(8); break;
        case u'e': out += QChar(27); break;
        case u'f': out += QChar(12); break;
        case u'v': out += QChar(11); break;
        case u'x': {
            int value = 0;
            int digits = 0;
            while (digits < 4 && i < text.size() && HexValue(text[i]) >= 0) {
                value = value * 16 + HexValue(text[i++]);
                ++digits;
            }
            out += digits ? QChar(char16_t(value)) : QChar(u'x');
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                int value = e.unicode() - u'0';
                int digits = 1;
                while (digits < 3 && i < text.size() && text[i] >= u'0' && text[i] <= u'7') {
                    value = value * 8 + (text[i++].unicode() - u'0');
                    ++digits;
                }
                out += QChar(char16_t(value));
            } else {
                out += e; // \\ and \" and anything else stand for themselves
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<WineRegistry> WineRegistry::FromFile(const QString& hostPath)
{
    if (!QFileInfo::exists(hostPath))
        return FromText(QString());
    // Wine writes the file in ASCII with escapes; UTF-8 reads it and tolerates more.
    return FromText(QString::fromUtf8(ReadHostFile(hostPath, hostPath, 64 * 1024 * 1024)));
}

std::unique_ptr<WineRegistry> WineRegistry::FromText(const QString& text)
{
    auto registry = std::unique_ptr<WineRegistry>(new WineRegistry);
    std::map<QString, QString>* current = nullptr;
    const QStringList lines = SplitLines(text, false);
    for (const QString& line : lines) {
        if (line.startsWith(u'[')) {
            // [Software\\Kesso Soft\\Ulvaro] 1700000000
            const qsizetype close = line.lastIndexOf(u']');
            if (close < 0) {
                current = nullptr;
                continue;
            }
            // The key is escaped as a quoted string is (doubled backslashes, \x...).
            const QString escaped = line.mid(1, close - 1) + u'"';
            qsizetype i = 0;
            const std::optional<QString> key = ReadQuoted(escaped, i);
            current = key ? &registry->m_keys[key->toUpper()] : nullptr;
            continue;
        }
        if (!current || !line.startsWith(u'"'))
            continue;
        qsizetype i = 1;
        const std::optional<QString> name = ReadQuoted(line, i);
        if (!name || i >= line.size() || line[i] != u'=')
            continue;
        ++i;
        if (line.mid(i).startsWith(QStringLiteral("str(2):")))
            i += 7;
        if (i >= line.size() || line[i] != u'"')
            continue; // dword:, hex: and the like are no strings
        ++i;
        const std::optional<QString> value = ReadQuoted(line, i);
        if (value)
            (*current)[name->toUpper()] = *value;
    }
    return registry;
}

std::optional<QString> WineRegistry::ReadString(const QString& key, const QString& name) const
{
    const auto k = m_keys.find(key.toUpper());
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(name.toUpper());
    if (v == k->second.end())
        return std::nullopt;
    return v->second;
}

#ifdef Q_OS_WIN
namespace {
class NativeRegistry : public Registry
{
public:
    std::optional<QString> ReadString(const QString& key, const QString& name) const override
    {
        QSettings settings(QStringLiteral("HKEY_CURRENT_USER\\") + key, QSettings::NativeFormat);
        const QVariant value = settings.value(name);
        if (!value.isValid())
            return std::nullopt;
        return value.toString();
    }
};
} // namespace
#endif

std::unique_ptr<Registry> OpenUserRegistry(const QString& winePrefixFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(winePrefixFolder);
    return std::make_unique<NativeRegistry>();
#else
    return WineRegistry::FromFile(winePrefixFolder + QStringLiteral("/user.reg"));
#endif
}

} // namespace aquarium
