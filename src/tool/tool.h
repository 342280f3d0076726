#pragma once

#include <QStringList>
#include <QTextStream>

namespace aquarium {

// The command-line tool: runs the GUI's start-up without widgets, then one command.
// Paths given are host paths; paths printed are Windows paths. Every message the GUI
// would show in a box goes to err, one line each, and into "Messages".
// Returns the exit status: 0 no message shown, 1 a message was shown, 2 usage error.
class Tool
{
public:
    Tool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) { }

    int Run(const QStringList& arguments);

    static constexpr int kExitOk = 0;
    static constexpr int kExitMessages = 1;
    static constexpr int kExitUsage = 2;

private:
    int Usage(const QString& problem);
    void PrintHelp();

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace aquarium
