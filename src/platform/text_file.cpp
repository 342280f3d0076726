#include "platform/text_file.h"

#include "platform/platform_error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace aquarium {

namespace {

constexpr const char* kCodePage = "windows-31j";

qint64 g_failWritesAfter = -1;

// Encodes without judging; reports whether every character had its own bytes.
QByteArray EncodeRaw(const QString& text, bool& ok)
{
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(text);
    ok = !encoder.hasError();
    if (ok) {
        // A character that maps only by a best fit would come back as another one.
        QStringDecoder decoder(kCodePage);
        const QString back = decoder.decode(bytes);
        ok = !decoder.hasError() && back == text;
    }
    return bytes;
}

} // namespace

QString DecodeShiftJis(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodePage);
    QString text = decoder.decode(bytes);
    // ICU marks undecodable bytes with SUB; show them as the replacement character.
    if (decoder.hasError())
        text.replace(QChar(0x1A), QChar::ReplacementCharacter);
    return text;
}

bool CanEncodeShiftJis(const QString& text)
{
    bool ok = false;
    (void)EncodeRaw(text, ok);
    return ok;
}

QByteArray EncodeShiftJis(const QString& text)
{
    bool ok = false;
    QByteArray bytes = EncodeRaw(text, ok);
    if (ok)
        return bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        if (!CanEncodeShiftJis(text.mid(i, n)))
            throw PlatformError::CannotEncode(text, text[i]);
        i += n - 1;
    }
    throw PlatformError::CannotEncode(text, text.isEmpty() ? QChar() : text[0]);
}

qsizetype ShiftJisLength(const QString& text)
{
    // Code page 932 holds ASCII and the half-width katakana in one byte, all else in two.
    qsizetype length = 0;
    for (QChar c : text) {
        if (c.isLowSurrogate())
            continue;
        const char16_t u = c.unicode();
        length += (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 1 : 2;
    }
    return length;
}

QString ShiftJisLeft(const QString& text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const qsizetype width = ShiftJisLength(text.mid(i, n));
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        i += n - 1;
    }
    return text.left(i);
}

QStringList SplitLines(const QString& text, bool stopAtNul)
{
    QStringList lines;
    qsizetype end = text.size();
    if (stopAtNul) {
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0)
            end = nul;
    }
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines << text.mid(start, i - start);
            if (c == u'\r' && i + 1 < end && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < end)
        lines << text.mid(start, end - start);
    return lines;
}

QByteArray JoinLinesCrLf(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeShiftJis(line);
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray ReadHostFile(const QString& hostPath, const QString& shownPath, qint64 maxBytes)
{
    QFile file(hostPath);
    if (hostPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw PlatformError::CannotOpen(shownPath);
    if (file.size() > maxBytes)
        throw PlatformError(QStringLiteral("ファイル %1 は大きすぎます (%2 バイト)")
                                    .arg(shownPath)
                                    .arg(file.size()));
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw PlatformError::CannotOpen(shownPath);
    if (bytes.size() > maxBytes)
        throw PlatformError(QStringLiteral("ファイル %1 は大きすぎます").arg(shownPath));
    return bytes;
}

void WriteHostFileAtomic(const QString& hostPath, const QByteArray& bytes,
                         const QString& shownPath)
{
    QSaveFile file(hostPath);
    if (hostPath.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw PlatformError::CannotCreate(shownPath);
    if (g_failWritesAfter >= 0) {
        file.write(bytes.left(g_failWritesAfter));
        file.cancelWriting();
        throw PlatformError::IoError(kIoErrorDiskFull);
    }
    if (file.write(bytes) != bytes.size()) {
        const bool full = file.error() == QFileDevice::ResourceError;
        file.cancelWriting();
        throw PlatformError::IoError(full ? kIoErrorDiskFull : kIoErrorWriteFault);
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::RenameError)
            throw PlatformError::CannotCreate(shownPath);
        throw PlatformError::IoError(file.error() == QFileDevice::ResourceError
                                             ? kIoErrorDiskFull
                                             : kIoErrorWriteFault);
    }
}

void SetWriteFailureForTesting(qint64 afterBytes)
{
    g_failWritesAfter = afterBytes;
}

} // namespace aquarium
