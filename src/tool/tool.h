#pragma once

#include "core/platform/windows_path.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <vector>

namespace aquarium {

// The options and file arguments of one command.
struct Arguments
{
    QStringList files;
    bool screen = false;
    int width = 0, height = 0;
    bool fishDataNo = false;
    int fishDataNoValue = 0;
    bool ticks = false;
    int ticksValue = 0;
    bool seed = false;
    int seedValue = 0;
    bool json = false;
    QString audio; // play --audio OUT.wav: a host path; empty when not asked
    QString problem; // a usage error, when not empty
};

// The command-line tool: runs the GUI's start-up without widgets on the Wine prefix of
// paths, then one command of its table. Paths given are host paths (relative ones in the
// current folder); paths printed are Windows paths. Every message the GUI would show in a
// box goes to err, one line each, and into "Messages".
// Run returns the exit status: 0 no message shown, 1 a message was shown, 2 usage error.
class Tool
{
public:
    Tool(QTextStream& out, QTextStream& err, PathMap paths)
        : m_out(out), m_err(err), m_paths(std::move(paths))
    {
    }

    int Run(const QStringList& arguments);

    static constexpr int kExitOk = 0;
    static constexpr int kExitMessages = 1;
    static constexpr int kExitUsage = 2;

private:
    // A command: its name, the options it takes, what it does.
    struct Command
    {
        QString Name;
        QStringList Options;
        int (Tool::*Run)(const Arguments&);
    };
    static const std::vector<Command>& Commands();

    int Dump(const Arguments& a);
    int Save(const Arguments& a);
    int RenderTank(const Arguments& a);
    int FishPicture(const Arguments& a);
    int FishDump(const Arguments& a);
    int FishSave(const Arguments& a);
    int FishCommand(const Arguments& a, bool save);
    int Check(const Arguments& a);
    int Play(const Arguments& a);
    int RenderFish(const Arguments& a);

    int Usage(const QString& problem);
    int WrongFiles(const QString& command);
    void PrintHelp();
    void PrintJson(const QJsonObject& json);

    QTextStream& m_out;
    QTextStream& m_err;
    PathMap m_paths;
};

} // namespace aquarium
