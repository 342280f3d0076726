#include "tool/tool.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Standard error carries the program's messages only; Qt's own chatter is dropped.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(QuietMessages);
    // Drawing text into pictures needs a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    aquarium::Tool tool(out, err, aquarium::PathMap::FromEnvironment());
    const int status = tool.Run(app.arguments().mid(1));
    // Output that did not reach its file (a full disk, a closed pipe) is a failure.
    out.flush();
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        err << "aquarium-tool: the output could not be written" << Qt::endl;
        return aquarium::Tool::kExitMessages;
    }
    return status;
}
