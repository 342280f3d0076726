// The reader of a recovery copy on bytes in memory: the input cut at each "\0\1" into the
// copy's files in the order the reader asks for them (the header, the aquarium, the
// random list, the MIDI list, the fish character). Whatever it accepts reads as a load.
#include "core/state/recovery.h"

#include <QCoreApplication>

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\0');
    QList<QByteArray> files;
    QByteArray current;
    // "\0\1" separates; a lone NUL stays in the file.
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0 && parts[i].startsWith('\1')) {
            files << current;
            current = parts[i].mid(1);
        } else {
            current += (i > 0 ? QByteArray(1, '\0') : QByteArray()) + parts[i];
        }
    }
    files << current;
    qsizetype asked = 0;
    (void)Recovery::Parse(QStringLiteral("/nowhere"), [&](const QString&) -> std::optional<QByteArray> {
        const qsizetype n = asked++;
        return n < files.size() && !files[n].isEmpty() ? std::optional<QByteArray>(files[n]) : std::nullopt;
    });
    return 0;
}
