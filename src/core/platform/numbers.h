#pragma once

#include <QString>

namespace aquarium {

// Integer conversions and arithmetic as the program's texts and files need them; each
// failure is a PlatformError with the platform's text.

// Decimal 32-bit integer conversion: an optional sign and digits, nothing else.
// Throws NotANumber(text) on anything else, overflow included.
[[nodiscard]] int StrToInt(const QString& text);

// The same, as hexadecimal digits without prefix (colour values of the aquarium file).
[[nodiscard]] int HexToInt(const QString& text);

// Non-throwing form; returns false and leaves value alone when text is no integer.
[[nodiscard]] bool TryStrToInt(const QString& text, int& value);

// Integer division truncating toward zero; divisor 0 throws DivisionByZero.
[[nodiscard]] int Div(int dividend, int divisor);

} // namespace aquarium
