#include "tool/tool.h"

#include "core/document/aquarium_file.h"
#include "core/document/vocabulary.h"
#include "core/document/fish_character.h"
#include "core/live/live_tank.h"
#include "core/live/soundtrack.h"
#include "core/operations/check.h"
#include "core/operations/fish_editor_model.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/sound_files.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "tool/state_json.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <optional>
#include <tuple>

namespace aquarium {

namespace {

// Start-up as the GUI does it, with messages recorded and echoed to err.
struct Session
{
    Session(const PathMap& paths, QTextStream& err) : files(paths), state(files, prompts)
    {
        prompts.OnMessage([&err](const QString& text) {
            err << text << Qt::endl;
        });
        StartUp(state);
    }

    // The Windows form of a host path given on the command line.
    QString Windows(const QString& hostPath) const
    {
        return files.Paths().ArgumentToWindows(hostPath);
    }

    int ExitStatus() const
    {
        return prompts.Messages().isEmpty() ? Tool::kExitOk : Tool::kExitMessages;
    }

    Files files;
    ScriptedPrompts prompts;
    AppState state;
};

bool ParseScreen(const QString& text, int& width, int& height);

// The options and files after the command, with Qt's parser: "--screen=640x480" and
// "--screen 640x480" alike, "--" ends the options. An option the command does not take is
// a usage error.
Arguments Parse(const QStringList& rest, const QStringList& allowed)
{
    Arguments a;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption screen(u"screen"_qs, QString(), u"WxH"_qs);
    const QCommandLineOption json(u"json"_qs, QString());
    const QCommandLineOption fishDataNo(u"fish-data-no"_qs, QString(), u"N"_qs);
    const QCommandLineOption ticks(u"ticks"_qs, QString(), u"K"_qs);
    const QCommandLineOption seed(u"seed"_qs, QString(), u"S"_qs);
    const QCommandLineOption audio(u"audio"_qs, QString(), u"OUT.wav"_qs);
    parser.addOptions({screen, json, fishDataNo, ticks, seed, audio});
    if (!parser.parse(QStringList{u"aquarium-tool"_qs} + rest)) {
        a.problem = parser.errorText();
        return a;
    }
    for (const QString& name : parser.optionNames()) {
        if (!allowed.contains(u"--"_qs + name)) {
            a.problem = QStringLiteral("unknown option --%1").arg(name);
            return a;
        }
    }
    if (parser.isSet(screen)) {
        if (!ParseScreen(parser.value(screen), a.width, a.height)) {
            a.problem = QStringLiteral("--screen needs a size such as 640x480");
            return a;
        }
        a.screen = true;
    }
    a.json = parser.isSet(json);
    a.audio = parser.value(audio);
    if (parser.isSet(audio) && a.audio.isEmpty()) {
        a.problem = QStringLiteral("--audio needs a file name");
        return a;
    }
    for (const auto& [option, set, value] :
         {std::tuple{&fishDataNo, &a.fishDataNo, &a.fishDataNoValue},
          std::tuple{&ticks, &a.ticks, &a.ticksValue}, std::tuple{&seed, &a.seed, &a.seedValue}}) {
        if (!parser.isSet(*option))
            continue;
        bool ok = false;
        *value = parser.value(*option).toInt(&ok);
        if (!ok || (option != &fishDataNo && (*value < 0 || (option == &ticks && *value > 100000)))) {
            a.problem = QStringLiteral("--%1 needs a number").arg(option->names().first());
            return a;
        }
        *set = true;
    }
    a.files = parser.positionalArguments();
    return a;
}

QJsonObject FishToJson(const FishCharacter& c, const QStringList& messages)
{
    return QJsonObject{
            {u"BmpFormat"_qs, int(c.Format)},
            {u"AnimationDataNo"_qs, c.AnimationDataNo},
            {u"FishDataNo"_qs, c.FishDataNo},
            {u"StretchDX"_qs, c.StretchDX},
            {u"StretchDY"_qs, c.StretchDY},
            {u"AnimLoop"_qs, c.AnimLoop},
            {u"QuarterWave"_qs, c.QuarterWave},
            {u"Phase"_qs, c.Phase},
            {u"WaveLength"_qs, c.WaveLength},
            {u"FrontGlass"_qs, c.FrontGlass},
            {u"UpDownLiking"_qs, c.UpDownLiking},
            {u"UpperRange"_qs, c.UpperRange},
            {u"QuickTurn"_qs, c.QuickTurn},
            {u"Slow"_qs, c.Slow},
            {u"GatherAtAccessory"_qs, c.GatherAtAccessory},
            {u"HomePosition"_qs, c.HomePosition},
            {u"RestFrequency"_qs, c.RestFrequency},
            {u"TurnFrequency"_qs, c.TurnFrequency},
            {u"HorizontalStep"_qs, c.HorizontalStep},
            {u"VerticalStep"_qs, c.VerticalStep},
            {u"PreferredLayer"_qs, c.PreferredLayer},
            {u"MaxSpeedMultiple"_qs, c.MaxSpeedMultiple},
            {u"FoodRange"_qs, c.FoodRange},
            {u"SchoolingFrequency"_qs, c.SchoolingFrequency},
            {u"SchoolRange"_qs, c.SchoolRange},
            {u"Friendliness"_qs, c.Friendliness},
            {u"Messages"_qs, QJsonArray::fromStringList(messages)},
    };
}

// The character path (without ".ulc") of a fish character file.
QString CharacterPathOf(const QString& windowsPath)
{
    if (windowsPath.endsWith(kCharacterExtension, Qt::CaseInsensitive))
        return windowsPath.chopped(4);
    return StripExtension(windowsPath);
}

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
             "  dump [--screen WxH] [FILE.uld]   the application state as JSON, after\n"
             "                                   loading FILE when one is given\n"
             "  save IN.uld OUT.uld              load IN, write it to OUT, print the state\n"
             "  fish-dump FILE.ulc               the fish character record as JSON\n"
             "  fish-save IN.ulc OUT.ulc         read IN into the record, write it to OUT\n"
             "  render-tank [--screen WxH] FILE.uld TANK.png [STRIP.png]\n"
             "                                   the 320x240 tank picture and 320x126\n"
             "                                   number strip of the accessory page\n"
             "  fish-picture FILE.uld SLOT OUT.png\n"
             "                                   the 150x100 picture of fish slot 1..6\n"
             "  check [--json] PATH...           report every missing file that aquarium\n"
             "                                   files (or the .uld files of folders), their\n"
             "                                   fish, "
          << kRandomListName
          << " and the MIDI list name;\n"
             "                                   exit status 1 when there is any\n"
             "  play [--ticks K] [--seed S] [--screen WxH] [--audio OUT.wav] FILE.uld OUTDIR\n"
             "                                   the live view of the whole tank: K frames\n"
             "                                   (default 20) as OUTDIR/frame-0000.png ...,\n"
             "                                   the same for the same seed (default 1);\n"
             "                                   --audio: their soundtrack (the sound and\n"
             "                                   the MIDI list), 44.1 kHz 16-bit stereo,\n"
             "                                   K x 50 ms\n"
             "  render-fish [--fish-data-no N] [--ticks K] FILE.ulc STRIP.png\n"
             "                                   the fish editor's first opening without a\n"
             "                                   window: the preview strip, and the cell\n"
             "                                   shown at each of the first K ticks\n"
             "\n"
             "Every message the editor would show in a box is printed on standard error,\n"
             "one line each, and listed in \"Messages\".\n"
             "Exit status: 0 no message shown, 1 a message was shown, 2 usage error.\n";
    m_out.flush();
}

const std::vector<Tool::Command>& Tool::Commands()
{
    static const std::vector<Command> commands = {
        {u"dump"_qs, {u"--screen"_qs}, &Tool::Dump},
        {u"save"_qs, {}, &Tool::Save},
        {u"render-tank"_qs, {u"--screen"_qs}, &Tool::RenderTank},
        {u"fish-picture"_qs, {}, &Tool::FishPicture},
        {u"fish-dump"_qs, {}, &Tool::FishDump},
        {u"fish-save"_qs, {}, &Tool::FishSave},
        {u"check"_qs, {u"--json"_qs}, &Tool::Check},
        {u"play"_qs, {u"--ticks"_qs, u"--seed"_qs, u"--screen"_qs, u"--audio"_qs}, &Tool::Play},
        {u"render-fish"_qs, {u"--fish-data-no"_qs, u"--ticks"_qs}, &Tool::RenderFish},
    };
    return commands;
}

int Tool::Run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return Usage(QStringLiteral("no command given"));
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        PrintHelp();
        return kExitOk;
    }
    if (arguments.first() == u"--version") {
        m_out << "aquarium-tool " << AQUARIUM_VERSION << Qt::endl;
        return kExitOk;
    }
    for (const Command& command : Commands()) {
        if (arguments.first() != command.Name)
            continue;
        const Arguments a = Parse(arguments.mid(1), command.Options);
        if (!a.problem.isEmpty())
            return Usage(a.problem);
        return (this->*command.Run)(a);
    }
    return Usage(QStringLiteral("unknown command %1").arg(arguments.first()));
}

void Tool::PrintJson(const QJsonObject& json)
{
    m_out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    m_out.flush();
}

int Tool::WrongFiles(const QString& command)
{
    return Usage(QStringLiteral("wrong number of files for %1").arg(command));
}

namespace {

// Start-up, then FILE.uld loaded when one is given, at the screen size the options ask.
bool LoadInto(Session& session, const Arguments& a)
{
    AppState& state = session.state;
    if (a.screen) {
        state.ScreenWidth = a.width;
        state.ScreenHeight = a.height;
    }
    if (a.files.isEmpty())
        return true;
    const QString path = session.Windows(a.files[0]);
    if (!LoadAquariumFile(state, path))
        return false;
    state.CurrentFile = path;
    return true;
}

} // namespace

int Tool::Dump(const Arguments& a)
{
    if (a.files.size() > 1)
        return WrongFiles(u"dump"_qs);
    Session session(m_paths, m_err);
    LoadInto(session, a);
    PrintJson(StateToJson(session.state, session.prompts.Messages()));
    return session.ExitStatus();
}

int Tool::Save(const Arguments& a)
{
    if (a.files.size() != 2)
        return WrongFiles(u"save"_qs);
    Session session(m_paths, m_err);
    if (LoadInto(session, a)) {
        Guard(session.prompts, [&] {
            SaveAquariumFile(session.files, session.state.Doc, session.Windows(a.files[1]));
        });
    }
    PrintJson(StateToJson(session.state, session.prompts.Messages()));
    return session.ExitStatus();
}

int Tool::RenderTank(const Arguments& a)
{
    if (a.files.size() < 2 || a.files.size() > 3)
        return WrongFiles(u"render-tank"_qs);
    Session session(m_paths, m_err);
    AppState& state = session.state;
    if (LoadInto(session, a)) {
        Guard(session.prompts, [&] {
            DrawTankPreview(state);
            Files::SavePng(a.files[1], state.View.TankPicture);
            if (a.files.size() == 3)
                Files::SavePng(a.files[2], state.View.NumberStrip);
        });
    }
    PrintJson(StateToJson(state, session.prompts.Messages()));
    return session.ExitStatus();
}

int Tool::FishPicture(const Arguments& a)
{
    if (a.files.size() != 3)
        return WrongFiles(u"fish-picture"_qs);
    bool ok = false;
    const int slot = a.files[1].toInt(&ok);
    if (!ok || slot < 1 || slot > kFishSlotCount)
        return Usage(QStringLiteral("SLOT must be 1 to 6"));
    Session session(m_paths, m_err);
    AppState& state = session.state;
    if (LoadInto(session, a)) {
        Guard(session.prompts, [&] {
            Files::SavePng(a.files[2], state.View.FishPictures[size_t(slot - 1)]);
        });
    }
    PrintJson(StateToJson(state, session.prompts.Messages()));
    return session.ExitStatus();
}

int Tool::FishDump(const Arguments& a)
{
    if (a.files.size() != 1)
        return WrongFiles(u"fish-dump"_qs);
    return FishCommand(a, false);
}

int Tool::FishSave(const Arguments& a)
{
    if (a.files.size() != 2)
        return WrongFiles(u"fish-save"_qs);
    return FishCommand(a, true);
}

int Tool::FishCommand(const Arguments& a, bool save)
{
    Session session(m_paths, m_err);
    FishCharacter character;
    Guard(session.prompts, [&] {
        LoadFishCharacter(session.files, CharacterPathOf(session.Windows(a.files[0])), character);
    });
    if (save) {
        Guard(session.prompts, [&] {
            SaveFishCharacter(session.files, character,
                              CharacterPathOf(session.Windows(a.files[1])));
        });
    }
    PrintJson(FishToJson(character, session.prompts.Messages()));
    return session.ExitStatus();
}

int Tool::Check(const Arguments& a)
{
    if (a.files.isEmpty())
        return Usage(QStringLiteral("check needs a file or folder"));
    Session session(m_paths, m_err);
    QStringList paths;
    for (const QString& file : a.files)
        paths << session.Windows(file);
    const std::vector<CheckProblem> problems = CheckAquariumFiles(session.state, paths);
    QJsonArray list;
    for (const CheckProblem& p : problems) {
        if (a.json)
            list.append(QJsonObject{{u"File"_qs, p.File}, {u"Item"_qs, p.Item},
                                    {u"Problem"_qs, p.Problem}});
        else
            m_out << p.File << ": " << (p.Item.isEmpty() ? QString() : p.Item + u": "_qs)
                  << p.Problem << Qt::endl;
    }
    if (a.json)
        PrintJson(QJsonObject{{u"Problems"_qs, list},
                              {u"Messages"_qs,
                               QJsonArray::fromStringList(session.prompts.Messages())}});
    m_out.flush();
    return problems.empty() ? session.ExitStatus() : kExitMessages;
}

int Tool::Play(const Arguments& a)
{
    if (a.files.size() != 2)
        return Usage(QStringLiteral("play needs FILE.uld and OUTDIR"));
    Session session(m_paths, m_err);
    AppState& state = session.state;
    const QString path = session.Windows(a.files[0]);
    QJsonArray missing;
    QJsonArray unplayable;
    int frames = 0;
    if (LoadAquariumFile(state, path)) {
        state.CurrentFile = path;
        const QSize screen = a.screen ? QSize(a.width, a.height) : state.Screen();
        Guard(session.prompts, [&] {
            const quint64 seed = quint64(a.seed ? a.seedValue : 1);
            LiveTank tank(session.files, state.Doc, screen, screen, seed);
            for (const QString& file : tank.Missing())
                missing.append(file);
            if (!QDir().mkpath(a.files[1]))
                throw PlatformError::CannotCreate(a.files[1]);
            // The soundtrack, tick by tick beside the frames, into a file that appears
            // whole or not at all.
            std::optional<Soundtrack> soundtrack;
            QSaveFile audio(a.audio);
            std::optional<WaveWriter> wave;
            std::vector<qint16> tick(size_t(2 * kFramesPerTick));
            if (!a.audio.isEmpty()) {
                soundtrack.emplace(session.files,
                                   SoundtrackInputsOf(session.files, state.Doc, state.MidiFolder,
                                                      state.MidiList),
                                   seed, FindSoundfont(QDir::homePath()));
                for (const QString& file : soundtrack->Unplayable())
                    unplayable.append(file);
                if (!audio.open(QIODevice::WriteOnly))
                    throw PlatformError::CannotCreate(a.audio);
                wave.emplace(audio);
            }
            QImage frame;
            for (int t = 0; t < (a.ticks ? a.ticksValue : 20); ++t) {
                tank.Draw(frame);
                Files::SavePng(QStringLiteral("%1/frame-%2.png")
                                       .arg(a.files[1])
                                       .arg(t, 4, 10, QLatin1Char('0')),
                               frame);
                if (wave) {
                    soundtrack->Render(tick.data(), kFramesPerTick);
                    wave->Write(tick.data(), kFramesPerTick);
                }
                ++frames;
                tank.Step();
            }
            if (wave) {
                wave->Close();
                if (!audio.commit())
                    throw PlatformError::IoError(kIoErrorWriteFault);
            }
        });
    }
    QJsonObject result {{u"Frames"_qs, frames},
                        {u"Missing"_qs, missing},
                        {u"Messages"_qs, QJsonArray::fromStringList(session.prompts.Messages())}};
    if (!a.audio.isEmpty())
        result.insert(u"Unplayable"_qs, unplayable);
    PrintJson(result);
    return session.ExitStatus();
}

int Tool::RenderFish(const Arguments& a)
{
    if (a.files.size() != 2)
        return Usage(QStringLiteral("render-fish needs FILE.ulc and STRIP.png"));
    Session session(m_paths, m_err);
    FishEditorModel editor;
    const int fishDataNo = a.fishDataNo ? a.fishDataNoValue : 1;
    bool opened = Guard(session.prompts, [&] {
        editor.Open(session.files, CharacterPathOf(session.Windows(a.files[0])), fishDataNo);
    });
    QJsonArray ticks;
    if (opened && Guard(session.prompts, [&] { editor.Render(session.files); })) {
        Guard(session.prompts, [&] { Files::SavePng(a.files[1], editor.Player.Result().Strip); });
        for (int t = 0; t < (a.ticks ? a.ticksValue : 0); ++t)
            ticks.append(editor.Player.Tick(editor.Fields.AnimLoop));
    }
    const PreviewResult& result = editor.Player.Result();
    PrintJson(QJsonObject{{u"BmpFormat"_qs, int(editor.Fields.Format)},
                          {u"AnimationDataNo"_qs, editor.Fields.AnimationDataNo},
                          {u"AnimCount"_qs, result.AnimCount},
                          {u"CellWidth"_qs, result.CellWidth},
                          {u"CellHeight"_qs, result.CellHeight},
                          {u"AnimLoop"_qs, editor.Fields.AnimLoop},
                          {u"Ticks"_qs, ticks},
                          {u"Messages"_qs, QJsonArray::fromStringList(session.prompts.Messages())}});
    return session.ExitStatus();
}

} // namespace aquarium
