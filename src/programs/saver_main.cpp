// aquarium-saver: the composed aquarium as a display hack of XScreenSaver, or a screen
// saver of its own.
#include "core/live/soundtrack.h"
#include "core/operations/saver_choice.h"
#include "core/platform/files.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "gui/saver_window.h"
#include "gui/sound_output.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

using namespace aquarium;

namespace {

struct Options
{
    enum class Where { Alone, Window, Root, Foreign } where = Where::Alone;
    WId foreign = 0;
    double cycleMinutes = 10;
    std::optional<std::uint64_t> seed;
    bool mute = false;
};

// A window id as XScreenSaver writes it: hexadecimal with 0x, or decimal.
std::optional<WId> ParseWindowId(const QString& text)
{
    bool ok = false;
    const qulonglong id = text.startsWith(u"0x"_qs, Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                       : text.toULongLong(&ok, 10);
    return ok && id != 0 ? std::optional<WId>(WId(id)) : std::nullopt;
}

// The options, before anything else: --help and --version answer without a display; a
// usage error ends with status 2. Each option also with one dash, as XScreenSaver's own
// configuration files pass them.
std::optional<int> ParseOptions(int argc, char* argv[], Options& options)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aquarium-saver"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AQUARIUM_VERSION));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
            "The aquarium of the Ulvaro aquarium screen saver's settings as a screen saver: one\n"
            "of the aquarium files of the data folder's random.uld, changing every --cycle\n"
            "minutes, or the aquarium the settings name, with its sound and the MIDI list.\n"
            "It draws into $XSCREENSAVER_WINDOW or the window of --window-id, into the root\n"
            "window with --root, into a window of its own with --window; else it runs full\n"
            "screen on every screen and ends on a key, a click or a move of the mouse. The\n"
            "settings are read from the registry of the Wine prefix in $WINEPREFIX (default\n"
            "~/.wine). It writes the Windows path of each aquarium it begins to show."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption windowId(QStringLiteral("window-id"),
                                      QStringLiteral("Draw into the window ID (hexadecimal with 0x, or decimal)."),
                                      QStringLiteral("ID"));
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Draw into the root window."));
    const QCommandLineOption window(QStringLiteral("window"),
                                    QStringLiteral("Draw into a window of its own; a key ends it."));
    const QCommandLineOption cycle(QStringLiteral("cycle"),
                                   QStringLiteral("Change the aquarium every MINUTES (default 10)."),
                                   QStringLiteral("MINUTES"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Choose the aquariums and the fish by N, not by the clock."),
                                  QStringLiteral("N"));
    const QCommandLineOption mute(QStringLiteral("mute"), QStringLiteral("Play no sound and no music."));
    parser.addOptions({windowId, root, window, cycle, seed, mute});
    const auto usage = [&](const QString& problem) {
        std::fprintf(stderr, "aquarium-saver: %s\n\n%s", qPrintable(problem), qPrintable(parser.helpText()));
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (parser.isSet(version)) {
        std::printf("aquarium-saver %s\n", AQUARIUM_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("no file is taken: ") + parser.positionalArguments().first());
    if (int(parser.isSet(windowId)) + int(parser.isSet(root)) + int(parser.isSet(window)) > 1)
        return usage(QStringLiteral("--window-id, --root and --window exclude each other"));
    if (parser.isSet(windowId)) {
        const std::optional<WId> id = ParseWindowId(parser.value(windowId));
        if (!id)
            return usage(QStringLiteral("--window-id needs a window id"));
        options.where = Options::Where::Foreign;
        options.foreign = *id;
    } else if (parser.isSet(root)) {
        options.where = Options::Where::Root;
    } else if (parser.isSet(window)) {
        options.where = Options::Where::Window;
    } else if (const std::optional<WId> id = ParseWindowId(qEnvironmentVariable("XSCREENSAVER_WINDOW"))) {
        options.where = Options::Where::Foreign;
        options.foreign = *id;
    }
    if (parser.isSet(cycle)) {
        bool ok = false;
        options.cycleMinutes = parser.value(cycle).toDouble(&ok);
        if (!ok || !(options.cycleMinutes > 0) || options.cycleMinutes > 24 * 60)
            return usage(QStringLiteral("--cycle needs minutes, such as 10 or 0.5"));
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return usage(QStringLiteral("--seed needs a number"));
    }
    options.mute = parser.isSet(mute);
    return std::nullopt;
}

// Nothing is ever shown: a screen saver that cannot read a file goes on without it.
class SilentPrompts : public ScriptedPrompts
{
public:
    void ShowMessage(const QString&) override { }
    void ShowError(const QString&) override { }
};

} // namespace

int main(int argc, char* argv[])
{
    Options options;
    if (const std::optional<int> status = ParseOptions(argc, argv, options))
        return *status;

    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("aquarium-saver"));
    QGuiApplication::setQuitOnLastWindowClosed(true);

    Files files(PathMap::FromEnvironment());
    SilentPrompts prompts;
    AppState state(files, prompts);
    StartUp(state);
    const std::uint64_t seed = options.seed ? *options.seed
                                            : std::uint64_t(QDateTime::currentMSecsSinceEpoch());
    AquariumChoice choice(state, seed);

    // The windows: one full screen on every screen, one of its own, or one inside the host's.
    std::unique_ptr<QWindow> host; // gone after the windows inside it
    std::vector<std::unique_ptr<SaverWindow>> windows;
    switch (options.where) {
    case Options::Where::Alone:
        for (QScreen* screen : QGuiApplication::screens()) {
            auto window = std::make_unique<SaverWindow>(files, SaverWindow::Ending::AnyInput);
            window->setTitle(QStringLiteral("aquarium-saver"));
            window->setScreen(screen);
            window->setGeometry(screen->geometry());
            window->setCursor(Qt::BlankCursor);
            window->showFullScreen();
            windows.push_back(std::move(window));
        }
        break;
    case Options::Where::Window: {
        auto window = std::make_unique<SaverWindow>(files, SaverWindow::Ending::KeysAndClicks);
        window->setTitle(QStringLiteral("aquarium-saver"));
        window->resize(800, 600);
        window->show();
        windows.push_back(std::move(window));
        break;
    }
    case Options::Where::Root:
    case Options::Where::Foreign: {
        const WId id = options.where == Options::Where::Root ? RootWindowId() : options.foreign;
        host.reset(id ? QWindow::fromWinId(id) : nullptr);
        if (!host) {
            std::fprintf(stderr, "aquarium-saver: no window to draw into\n");
            return 1;
        }
        if (ForeignWindowSize(id).isEmpty()) {
            std::fprintf(stderr, "aquarium-saver: no window to draw into\n");
            return 1;
        }
        auto window = std::make_unique<SaverWindow>(files, SaverWindow::Ending::Never, host.get());
        window->FollowHost(id);
        window->show();
        windows.push_back(std::move(window));
        break;
    }
    }
    for (const auto& window : windows)
        QObject::connect(window.get(), &SaverWindow::InputSeen, &app, &QCoreApplication::quit);

    // The soundtrack of what shows, unless muted; silent where there is no output.
    std::optional<Soundtrack> soundtrack;
    SoundOutput output;
    QString showing;
    const auto show = [&] {
        const QString next = choice.Next();
        if (next == showing && !next.isEmpty())
            return; // nothing else to change to
        showing = next;
        if (next.isEmpty()) {
            for (const auto& window : windows)
                window->Clear();
            output.Stop();
            return;
        }
        std::printf("%s\n", next.toUtf8().constData());
        std::fflush(stdout);
        for (size_t i = 0; i < windows.size(); ++i)
            windows[i]->Play(state.Doc, seed + i);
        if (options.mute)
            return;
        const SoundtrackInputs inputs =
                SoundtrackInputsOf(files, state.Doc, state.MidiFolder, state.MidiList);
        if (soundtrack) {
            soundtrack->Update(files, inputs);
        } else {
            soundtrack.emplace(files, inputs, seed, FindSoundfont(QDir::homePath()));
            output.Start([&](qint16* stereo, qsizetype frames) { soundtrack->Render(stereo, frames); });
        }
    };
    show();
    QTimer cycle;
    QObject::connect(&cycle, &QTimer::timeout, show);
    cycle.start(std::max(500, int(options.cycleMinutes * 60000)));
    const int status = app.exec();
    output.Stop();
    return status;
}
