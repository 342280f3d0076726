#include "app/tool.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "app/state_json.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/prompts.h"
#include "platform/registry.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace aquarium {

namespace {

// Start-up as the GUI does it, with messages recorded and echoed to err.
struct Session
{
    explicit Session(QTextStream& err)
        : files(PathMap::FromEnvironment()), state(files, prompts)
    {
        prompts.OnMessage([&err](const QString& text) {
            err << text << Qt::endl;
        });
        const auto registry = OpenUserRegistry(files.Paths().PrefixFolder());
        Guard(prompts, [&] { FormCreate(state, *registry); });
    }

    int ExitStatus() const
    {
        return prompts.Messages().isEmpty() ? Tool::kExitOk : Tool::kExitMessages;
    }

    Files files;
    ScriptedPrompts prompts;
    AppState state;
};

bool ParseScreen(const QString& text, int& width, int& height)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    width = match.captured(1).toInt();
    height = match.captured(2).toInt();
    return width > 0 && height > 0;
}

} // namespace

int Tool::Usage(const QString& problem)
{
    m_err << "aquarium-tool: " << problem << Qt::endl
          << "Try 'aquarium-tool --help'." << Qt::endl;
    return kExitUsage;
}

void Tool::PrintHelp()
{
    m_out << "Usage: aquarium-tool COMMAND [OPTIONS] [FILES]\n"
             "\n"
             "Runs the aquarium maker's start-up without windows (the registry of the Wine\n"
             "prefix in $WINEPREFIX or ~/.wine, the current folder), then one command.\n"
             "Paths given are host paths; paths printed are Windows paths.\n"
             "\n"
             "Commands:\n"
             "  dump [--screen WxH]    print the application state as JSON\n"
             "\n"
             "Every message the editor would show in a box is printed on standard error,\n"
             "one line each, and listed in \"Messages\".\n"
             "Exit status: 0 no message shown, 1 a message was shown, 2 usage error.\n";
    m_out.flush();
}

int Tool::Run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return Usage(QStringLiteral("no command given"));
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        PrintHelp();
        return kExitOk;
    }
    const QString command = arguments.first();
    QStringList rest = arguments.mid(1);

    if (command == u"dump") {
        int width = 0;
        int height = 0;
        bool screen = false;
        QStringList positional;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            if (rest[i] == u"--screen") {
                if (i + 1 >= rest.size() || !ParseScreen(rest[i + 1], width, height))
                    return Usage(QStringLiteral("--screen needs a size such as 640x480"));
                screen = true;
                ++i;
            } else if (rest[i].startsWith(u'-')) {
                return Usage(QStringLiteral("unknown option %1").arg(rest[i]));
            } else {
                positional << rest[i];
            }
        }
        if (!positional.isEmpty())
            return Usage(QStringLiteral("dump takes no file"));
        Session session(m_err);
        if (screen) {
            session.state.Doc.ScreenWidth = width;
            session.state.Doc.ScreenHeight = height;
        }
        m_out << QJsonDocument(StateToJson(session.state, session.prompts.Messages()))
                         .toJson(QJsonDocument::Indented);
        m_out.flush();
        return session.ExitStatus();
    }
    return Usage(QStringLiteral("unknown command %1").arg(command));
}

} // namespace aquarium
