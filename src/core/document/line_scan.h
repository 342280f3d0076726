#pragma once

#include <QString>
#include <QStringList>

namespace aquarium {

// The line scanning shared by the readers of aquarium and fish character files.
// A line list is indexed from 0; an index at or past its end reads as an empty line.

// Removes every character with a code of 32 or less from both ends.
[[nodiscard]] QString Trim(const QString& text);
// Capital letters; Japanese text is left unchanged.
[[nodiscard]] QString UpperCase(const QString& text);

// The line at i, or an empty text when i is outside the list.
[[nodiscard]] QString LineAt(const QStringList& lines, qsizetype i);

// A data line is one that, trimmed, is not empty and begins with neither "/" nor ";".
[[nodiscard]] bool IsDataLine(const QString& line);

// Index of the first data line at or after i; lines.size() when there is none.
[[nodiscard]] qsizetype NextDataLine(const QStringList& lines, qsizetype i);
// Index of the line after the first line at or after start that, trimmed and
// upper-cased, equals the upper-cased header; -1 when there is none.
[[nodiscard]] qsizetype FindSection(const QStringList& lines, const QString& header,
                                    qsizetype start);
// The trimmed line at i; "null" when it begins with "[".
[[nodiscard]] QString LineValue(const QStringList& lines, qsizetype i);

} // namespace aquarium
