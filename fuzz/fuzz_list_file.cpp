// The list file reader on bytes in memory and the list operations: reading with CR LF, CR,
// LF and NUL, the round trip of a list written and read again, the random list filter
// and sort, and moves and drops at rows taken from the input.
#include "core/document/list_logic.h"
#include "core/document/vocabulary.h"
#include "core/platform/text_file.h"

#include <cstdlib>

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QStringList list = SplitLines(DecodeShiftJis(bytes), true);
    bool encodable = true;
    for (const QString& line : list) {
        if (line.contains(QChar(0)) || line.contains(u'\r') || line.contains(u'\n'))
            std::abort();
        encodable = encodable && CanEncodeShiftJis(line);
    }
    // Written as the editor writes a list, it reads back the same.
    if (encodable && SplitLines(DecodeShiftJis(JoinLinesCrLf(list)), true) != list)
        std::abort();
    QStringList random = list;
    SortWithoutCase(random);
    FilterRandomList(random);
    for (const QString& entry : random) {
        if (entry.isEmpty() || IsRandomListName(entry))
            std::abort();
    }
    const qsizetype count = list.size();
    int press = size > 0 ? int(int8_t(data[0])) : 0;
    int release = size > 1 ? int(int8_t(data[1])) : 0;
    (void)MoveEntry(list, press, release);
    (void)InsertAtRow(list, QStringLiteral("x.mid"), release);
    int selected = press;
    selected = DeleteSelected(list, selected);
    if (list.size() < count - 1 || selected >= list.size())
        std::abort();
    return 0;
}
