#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace aquarium {

class Prompts;

// The one exception type of the platform layer. It carries the Japanese text that the
// application's error box shows. Every handler body runs inside Guard(), which catches it.
class PlatformError : public std::exception
{
public:
    explicit PlatformError(QString text);

    const QString& Text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // The texts the platform layer reports, with their arguments filled in.
    [[nodiscard]] static PlatformError NotANumber(const QString& text);
    [[nodiscard]] static PlatformError IoError(int code);
    [[nodiscard]] static PlatformError CannotCreate(const QString& path);
    [[nodiscard]] static PlatformError CannotOpen(const QString& path);
    [[nodiscard]] static PlatformError InvalidBitmap();
    [[nodiscard]] static PlatformError RangeCheck();
    [[nodiscard]] static PlatformError IntegerOverflow();
    [[nodiscard]] static PlatformError DivisionByZero();
    // A picture or buffer the memory there is cannot hold.
    [[nodiscard]] static PlatformError OutOfMemory();
    // A sound (WAV) or music (MIDI) file that does not decode.
    [[nodiscard]] static PlatformError CannotDecode(const QString& path);
    [[nodiscard]] static PlatformError CannotEncode(const QString& text, QChar character);

private:
    QString m_text;
    QByteArray m_utf8;
};

// Input/output error codes used with IoError (the Windows codes the texts name).
inline constexpr int kIoErrorWriteFault = 29;
inline constexpr int kIoErrorDiskFull = 112;

// Runs body; a PlatformError it throws is shown in the error box of prompts.
// Nothing else escapes either: the caller is an event handler under Qt's event loop.
// Returns true when the body ran to its end.
bool Guard(Prompts& prompts, const std::function<void()>& body);

} // namespace aquarium
