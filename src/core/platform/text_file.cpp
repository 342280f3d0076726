#include "core/platform/text_file.h"

#include "core/platform/platform_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace aquarium {

namespace {

constexpr const char* kCodePage = "windows-31j";

// The converter keeps the ASCII codes as they are (the backslash at 5C, the tilde at 7E)
// apart from three control codes it exchanges (1A, 1C, 7F): text of the others alone needs
// no converter, the common case of names and keys.
constexpr bool IsPlain(unsigned code)
{
    return code < 0x80 && code != 0x1A && code != 0x1C && code != 0x7F;
}

bool IsPlain(const QString& text)
{
    for (const QChar c : text) {
        if (!IsPlain(c.unicode()))
            return false;
    }
    return true;
}

bool IsPlain(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (!IsPlain(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// Encodes without judging; reports whether every character had its own bytes.
QByteArray EncodeRaw(const QString& text, bool& ok)
{
    if (IsPlain(text)) {
        ok = true;
        return text.toLatin1();
    }
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
    if (IsPlain(bytes))
        return QString::fromLatin1(bytes);
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

void OpenRegularHostFile(QFile& file, const QString& hostPath, const QString& shownPath)
{
#ifdef Q_OS_UNIX
    // Opened without waiting (a named pipe would block the open until a writer comes) and
    // read only when it is a regular file: a pipe or a device would block the read.
    const QByteArray native = QFile::encodeName(hostPath);
    const int fd = hostPath.isEmpty()
                           ? -1
                           : ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw PlatformError::CannotOpen(shownPath);
    struct stat info;
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0
        || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw PlatformError::CannotOpen(shownPath);
    }
#else
    file.setFileName(hostPath);
    if (hostPath.isEmpty() || !QFileInfo(hostPath).isFile() || !file.open(QIODevice::ReadOnly))
        throw PlatformError::CannotOpen(shownPath);
#endif
}

QByteArray ReadHostFile(const QString& hostPath, const QString& shownPath, qint64 maxBytes)
{
    QFile file;
    OpenRegularHostFile(file, hostPath, shownPath);
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

namespace {

// Writes every byte into the new file and makes the system commit them to the disk.
// Returns 0, or the error number of the call that failed.
int WriteAndSync(QSaveFile& file, const QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    // Written straight to the descriptor: a buffered QSaveFile::write() reports success for
    // bytes that only reach the disk, or fail to, inside commit().
    const int fd = file.handle();
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        left -= n;
    }
    // Some file systems (network, quota) report a full disk only here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        return errno;
    return 0;
#else
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.error() == QFileDevice::ResourceError ? ENOSPC : EIO;
    return 0;
#endif
}

int IoErrorCode(int error)
{
#ifdef EDQUOT
    if (error == EDQUOT)
        return kIoErrorDiskFull;
#endif
    return error == ENOSPC ? kIoErrorDiskFull : kIoErrorWriteFault;
}

} // namespace

void WriteHostFileAtomic(const QString& hostPath, const QByteArray& bytes,
                         const QString& shownPath)
{
    QSaveFile file(hostPath);
    if (hostPath.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw PlatformError::CannotCreate(shownPath);
    if (const int error = WriteAndSync(file, bytes)) {
        file.cancelWriting();
        throw PlatformError::IoError(IoErrorCode(error));
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::RenameError)
            throw PlatformError::CannotCreate(shownPath);
        throw PlatformError::IoError(file.error() == QFileDevice::ResourceError
                                             ? kIoErrorDiskFull
                                             : kIoErrorWriteFault);
    }
}

} // namespace aquarium
