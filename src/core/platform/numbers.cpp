#include "core/platform/numbers.h"

#include "core/platform/platform_error.h"

#include <limits>

namespace aquarium {

namespace {

bool ParseDigits(const QString& text, int base, int& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (base == 10 && i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 result = 0;
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1
                                  : qint64(std::numeric_limits<int>::max());
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        result = result * base + digit;
        // Hexadecimal text may fill all 32 bits, as a colour or mask does.
        if (base == 16 ? result > 0xFFFFFFFFLL : result > limit)
            return false;
    }
    if (base == 16)
        value = static_cast<int>(static_cast<quint32>(result));
    else
        value = static_cast<int>(negative ? -result : result);
    return true;
}

} // namespace

int StrToInt(const QString& text)
{
    int value = 0;
    if (!ParseDigits(text, 10, value))
        throw PlatformError::NotANumber(text);
    return value;
}

int HexToInt(const QString& text)
{
    int value = 0;
    if (!ParseDigits(text, 16, value))
        throw PlatformError::NotANumber(text);
    return value;
}

bool TryStrToInt(const QString& text, int& value)
{
    return ParseDigits(text, 10, value);
}

int Div(int dividend, int divisor)
{
    if (divisor == 0)
        throw PlatformError::DivisionByZero();
    if (divisor == -1 && dividend == std::numeric_limits<int>::min())
        throw PlatformError::IntegerOverflow();
    return dividend / divisor;
}

} // namespace aquarium
