#pragma once

#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/file_list_box.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <functional>

namespace aquarium::test {

// The editor as the program starts it, over a test's own world: start-up from the world's
// registry and current folder, then the three windows, the main one shown.
struct RunningEditor
{
    // beforeShow: what to set up before the window is first shown (a recovery, answers).
    explicit RunningEditor(const TestWorld& world,
                           const std::function<void(RunningEditor&)>& beforeShow = {})
        : files(world.Paths()), state(files, prompts), started(Start(world)), editor(state),
          window(state, version, editor)
    {
        if (beforeShow)
            beforeShow(*this);
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

// Presses on a file of a file list, moves and releases over target at point, as a user
// drags a file from the list.
inline void DragFile(FileListBox* from, const QString& name, QWidget* target, QPoint at)
{
    const int row = from->FindRow(name);
    QVERIFY(row >= 0);
    const QPoint start = from->RowRect(row).center();
    QTest::mousePress(from->viewport(), Qt::LeftButton, {}, start);
    const QPoint end = from->viewport()->mapFromGlobal(target->mapToGlobal(at));
    for (const QPoint p : {start + QPoint(12, 0), (start + end) / 2, end}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), from->viewport()->mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(from->viewport(), &move);
    }
    QTest::mouseRelease(from->viewport(), Qt::LeftButton, {}, end);
}

} // namespace aquarium::test
