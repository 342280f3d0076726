#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace aquarium {

// Shift-JIS as Windows code page 932: byte 5C is the backslash, 81 40 the full-width space.
// Text is decoded once on reading and encoded once on writing; logic works on QString.

// Bytes that do not decode become U+FFFD; decoding never fails.
[[nodiscard]] QString DecodeShiftJis(const QByteArray& bytes);
// Throws PlatformError::CannotEncode naming the first character the code page lacks.
[[nodiscard]] QByteArray EncodeShiftJis(const QString& text);
[[nodiscard]] bool CanEncodeShiftJis(const QString& text);
// The number of bytes text takes in the code page (characters it lacks count as 2).
[[nodiscard]] qsizetype ShiftJisLength(const QString& text);
// The longest prefix of text that takes at most maxBytes bytes, never splitting a character.
[[nodiscard]] QString ShiftJisLeft(const QString& text, qsizetype maxBytes);

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line; a last line
// without a line end is a line; a final line end does not start an empty line.
// stopAtNul: the text ends at the first NUL character (list files).
[[nodiscard]] QStringList SplitLines(const QString& text, bool stopAtNul);

// Encodes every line followed by CR LF. Throws CannotEncode before anything is produced.
[[nodiscard]] QByteArray JoinLinesCrLf(const QStringList& lines);

// Opens a regular host file for reading; anything else (a folder, a named pipe, a device)
// or a file that cannot be opened throws CannotOpen(shownPath) at once.
void OpenRegularHostFile(QFile& file, const QString& hostPath, const QString& shownPath);

// Reads a whole regular host file; shownPath names it in the error. Anything else (a
// folder, a named pipe, a device) is CannotOpen at once: no read ever waits.
[[nodiscard]] QByteArray ReadHostFile(const QString& hostPath, const QString& shownPath,
                                      qint64 maxBytes);

// Replaces a host file atomically: the old file stays whole until the new one is written
// and synced to the disk. Throws CannotCreate when the file cannot be created, IoError
// (112 for a full disk or quota, 29 for any other failure) when writing fails.
void WriteHostFileAtomic(const QString& hostPath, const QByteArray& bytes,
                         const QString& shownPath);

} // namespace aquarium
