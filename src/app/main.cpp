#include "app/app_icon.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/startup.h"
#include "app/version_window.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/platform_error.h"
#include "platform/registry.h"

#include <QApplication>
#include <QFileInfo>

using namespace aquarium;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(AppIcon());

    QApplication::setFont(InterfaceFont(12));

    Files files(PathMap::FromEnvironment());
    QtPrompts prompts(files.Paths());
    AppState state(files, prompts);
    {
        const auto registry = OpenUserRegistry(files.Paths().PrefixFolder());
        Guard(prompts, [&] { FormCreate(state, *registry); });
    }

    VersionWindow versionWindow;
    MainWindow window(state, versionWindow);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments[1].isEmpty()) {
        // A relative name resolves against the current folder, as on Windows.
        window.SetCommandLineFile(
                files.Paths().ToWindows(QFileInfo(arguments[1]).absoluteFilePath()));
    }
    prompts.SetParent(&window);
    window.show();
    return app.exec();
}
