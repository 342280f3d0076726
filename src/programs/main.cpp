#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/recovery_store.h"
#include "core/state/app_state.h"
#include "core/state/recovery.h"
#include "core/state/startup.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/fish_page.h"
#include "ui/shell/live_view.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/app_icon.h"
#include "ui/widgets/qt_prompts.h"
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <optional>

using namespace aquarium;

namespace {

// --screenshots DIR: pictures of the five pages, the fish editor and the live view, as the
// program draws them, for the documentation; then the program ends.
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
        editor.hide();
    }
    // The whole tank playing, after two seconds of it.
    window.LiveViewClick();
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();
    window.LiveView1->grab().save(folder + u"/live-view.png"_qs);
    QCoreApplication::quit();
}

// The sample aquarium the package installs (under a data folder of the system, or beside
// the program's own prefix); empty when there is none.
QString InstalledSample()
{
    const QString relative = QStringLiteral("aquarium-maker/samples/aquarium");
    const QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative,
                                                 QStandardPaths::LocateDirectory);
    if (!found.isEmpty())
        return found;
    const QString beside = QCoreApplication::applicationDirPath() + u"/../share/"_qs + relative;
    return QDir(beside).exists() ? QDir(beside).canonicalPath() : QString();
}

// The options, read before anything else: --help and --version answer without a display
// or start-up; a usage error ends with status 2.
struct Options
{
    QString file;        // a host path; empty when none
    QString screenshots; // --screenshots DIR
};

std::optional<int> ParseOptions(int argc, char* argv[], Options& options)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aquarium-maker"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AQUARIUM_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "The editor of the Ulvaro aquarium screen saver's data files. FILE, when given, is\n"
            "opened at start: an aquarium file (.uld) in the main window, a fish character file\n"
            "(.ulc) in the fish character editor. The screen saver's settings are read from the\n"
            "registry of the Wine prefix in $WINEPREFIX (default ~/.wine)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption screenshots(
            QStringLiteral("screenshots"),
            QStringLiteral("Save pictures of the pages, the fish editor and the live view in DIR "
                           "and end."),
            QStringLiteral("DIR"));
    parser.addOption(screenshots);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to open."),
                                 QStringLiteral("[FILE]"));
    if (!parser.parse(QCoreApplication::arguments()) || parser.positionalArguments().size() > 1) {
        const QString problem = parser.errorText().isEmpty()
                                        ? QStringLiteral("more than one file given")
                                        : parser.errorText();
        std::fprintf(stderr, "aquarium-maker: %s\n\n%s", qPrintable(problem),
                     qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (parser.isSet(version)) {
        std::printf("aquarium-maker %s\n", AQUARIUM_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    options.screenshots = parser.value(screenshots);
    if (!parser.positionalArguments().isEmpty())
        options.file = parser.positionalArguments().first();
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    Options options;
    if (const std::optional<int> status = ParseOptions(argc, argv, options))
        return *status;

    QApplication app(argc, argv);
    PresentApplication();
    QApplication::setFont(InterfaceFont(12));
    LoadQtJapanese(app);

    Files files(PathMap::FromEnvironment());
    QtPrompts prompts(files.Paths());
    AppState state(files, prompts);
    StartUp(state);

    VersionWindow versionWindow;
    FishEditor fishEditor(state);
    MainWindow window(state, versionWindow, fishEditor);
    if (!options.file.isEmpty()) {
        // A relative name resolves against the current folder, as on Windows.
        window.SetCommandLineFile(
                files.Paths().ArgumentToWindows(options.file));
    }
    // Unsaved work survives a crash: copies in the user's recovery folder.
    RecoveryStore recoveryStore(RecoveryStore::DefaultBase());
    Recovery recovery(state, recoveryStore);
    window.SetRecovery(&recovery);
    // A first run without settings can open the sample, in a copy of the user's own.
    window.SetSampleFolder(InstalledSample(),
                           QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                   + u"/aquarium-maker/sample/aquarium"_qs);
    prompts.SetParent(&window);
    window.show();
    if (!options.screenshots.isEmpty()) {
        QTimer::singleShot(300, &window,
                           [&] { SaveScreenshots(window, fishEditor, options.screenshots); });
    }
    return app.exec();
}
