// The whole load of an aquarium file over a fake data folder, as the program does it: the
// file written to disk and read, the accessory pictures, folders, fish pictures and tank
// preview, then a save of what was read. Slow by nature (files and pictures); the
// parsers alone are fuzzed in memory by the other targets.
#include "fuzz_support.h"

#include "core/document/aquarium_file.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::FuzzWorld& world = fuzz::FuzzWorld::Get();
    ScriptedPrompts prompts;
    AppState state(world.FileSystem(), prompts);
    state.Doc.DataFolder = QStringLiteral("C:\\aq\\");
    state.Doc.DataSubFolder = QStringLiteral("data\\");
    state.NotebookPage = 1; // the tank preview is drawn too
    const QString path =
            world.Write(QStringLiteral("fuzz.uld"), QByteArray(reinterpret_cast<const char*>(data), int(size)));
    if (LoadAquariumFile(state, path)) {
        try {
            (void)AquariumFileLines(world.FileSystem(), state.Doc);
        } catch (const PlatformError&) {
        }
    }
    return 0;
}
