// The Wine registry reader over any text.
#include "core/platform/registry.h"

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const auto registry = WineRegistry::FromText(text);
    for (const char* name : {"KessosUlvaro98", "DataFile98", "DataFile", "BGMFile"})
        (void)registry->ReadString(QStringLiteral("Software\\Kesso Soft\\Ulvaro"),
                                   QString::fromLatin1(name));
    return 0;
}
