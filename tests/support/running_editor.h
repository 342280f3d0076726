#pragma once

#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"

#include <QTest>

namespace aquarium::test {

// The editor as the program starts it, over a test's own world: start-up from the world's
// registry and current folder, then the three windows, the main one shown.
struct RunningEditor
{
    explicit RunningEditor(const TestWorld& world)
        : files(world.Paths()), state(files, prompts), started(Start(world)), editor(state),
          window(state, version, editor)
    {
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    Files files;
    ScriptedPrompts prompts;
    AppState state;
    bool started;
    VersionWindow version;
    FishEditor editor;
    MainWindow window;

private:
    bool Start(const TestWorld& world)
    {
        FormCreate(state, *OpenUserRegistry(world.Prefix()));
        return true;
    }
};

} // namespace aquarium::test
