#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/fish_page.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/app_icon.h"
#include "ui/widgets/qt_prompts.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

using namespace aquarium;

namespace {

// --screenshots DIR: pictures of the five pages and the fish editor, as the program draws
// them, for the documentation; then the program ends.
void SaveScreenshots(MainWindow& window, FishEditor& editor, const QString& folder)
{
    QDir().mkpath(folder);
    const char* names[] = {"fish-page", "accessory-page", "tank-page", "random-page", "midi-page"};
    for (int page = 0; page < 5; ++page) {
        window.TabbedNotebook1->setCurrentIndex(page);
        QCoreApplication::processEvents();
        window.grab().save(folder + u'/' + QLatin1String(names[page]) + u".png"_qs);
    }
    window.TabbedNotebook1->setCurrentIndex(0);
    if (window.FishPage1->Slots[0].Name->text().isEmpty() == false) {
        window.FishPage1->OpenCharacterEditor(0);
        for (int page = 0; page < 2; ++page) {
            editor.TabbedNotebook1->setCurrentIndex(page);
            QEventLoop wait;
            QTimer::singleShot(page == 1 ? 400 : 50, &wait, &QEventLoop::quit);
            wait.exec();
            editor.grab().save(folder + (page ? u"/fish-editor-animation.png"_qs
                                              : u"/fish-editor.png"_qs));
        }
    }
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(AppIcon());

    QApplication::setFont(InterfaceFont(12));

    Files files(PathMap::FromEnvironment());
    QtPrompts prompts(files.Paths());
    AppState state(files, prompts);
    StartUp(state);

    VersionWindow versionWindow;
    FishEditor fishEditor(state);
    MainWindow window(state, versionWindow, fishEditor);
    QStringList arguments = QApplication::arguments();
    if (arguments.contains(u"--help"_qs) || arguments.contains(u"-h"_qs)) {
        std::printf("Usage: aquarium-maker [FILE.uld]\n\n"
                    "The editor of the Ulvaro aquarium screen saver's data files. FILE, when\n"
                    "given, is opened at start. The screen saver's settings are read from the\n"
                    "registry of the Wine prefix in $WINEPREFIX (default ~/.wine).\n\n"
                    "  --screenshots DIR  save pictures of the pages in DIR and end\n"
                    "  --version          print the version\n");
        return 0;
    }
    if (arguments.contains(u"--version"_qs)) {
        std::printf("aquarium-maker %s\n", AQUARIUM_VERSION);
        return 0;
    }
    QString screenshots;
    const qsizetype option = arguments.indexOf(u"--screenshots"_qs);
    if (option > 0 && option + 1 < arguments.size()) {
        screenshots = arguments[option + 1];
        arguments.remove(option, 2);
    }
    if (arguments.size() > 1 && !arguments[1].isEmpty()) {
        // A relative name resolves against the current folder, as on Windows.
        window.SetCommandLineFile(
                files.Paths().ToWindows(QFileInfo(arguments[1]).absoluteFilePath()));
    }
    prompts.SetParent(&window);
    window.show();
    if (!screenshots.isEmpty())
        QTimer::singleShot(300, &window, [&] { SaveScreenshots(window, fishEditor, screenshots); });
    return app.exec();
}
