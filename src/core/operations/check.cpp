#include "core/operations/check.h"

#include "core/document/aquarium_file.h"
#include "core/document/fish_character.h"
#include "core/document/line_scan.h"
#include "core/document/list_logic.h"
#include "core/document/referenced_files.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/sound_files.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"

namespace aquarium {

namespace {

class Checker
{
public:
    Checker(const AppState& state, std::vector<CheckProblem>& problems)
        : m_files(state.FileSystem), m_problems(problems)
    {
    }

    void Report(const QString& file, const QString& item, const QString& problem)
    {
        m_problems.push_back({file, item, problem});
    }

    // A name of the file: reported when Shift-JIS cannot hold it or the file is missing.
    bool Exists(const QString& file, const QString& item, const QString& path)
    {
        if (!CanEncodeShiftJis(item))
            Report(file, item, kNotShiftJisProblem);
        else if (!m_files.FileExists(path))
            Report(file, item, kMissingFileProblem);
        else
            return true;
        return false;
    }

    // A sound (WAV) or a piece of music (MIDI, .rmi) that is there but does not decode.
    void Plays(const QString& file, const QString& item, const QString& path, bool music)
    {
        try {
            if (music)
                (void)StandardMidiFile(m_files.ReadBytes(path, kMaxMusicFileBytes), path);
            else
                (void)DecodeWave(m_files.ReadBytes(path, kMaxSoundFileBytes), path);
        } catch (const PlatformError&) {
            Report(file, item, kUndecodableProblem);
        }
    }

    void Aquarium(const QString& path)
    {
        QStringList lines;
        try {
            lines = m_files.ReadLines(path);
        } catch (const PlatformError& error) {
            Report(path, QString(), error.Text());
            return;
        }
        aquarium::Aquarium doc;
        doc.DataFolder = FolderOfPath(path);
        ResetForLoad(doc);
        try {
            switch (ReadAquariumLines(lines, doc)) {
            case ReadOutcome::Foreign:
                Report(path, QString(), kForeignFileMessage);
                return;
            case ReadOutcome::Malformed:
                Report(path, QString(), kMalformedFileMessage);
                return;
            case ReadOutcome::Read:
                break;
            }
        } catch (const PlatformError& error) {
            Report(path, QString(), error.Text());
            return;
        }
        for (const ReferencedFile& f : ReferencedFiles(m_files, doc)) {
            switch (f.Role) {
            case FileRole::Background:
                Exists(path, kOptionSection + u' ' + kBitmapFileKey + u' ' + f.Name, f.Path);
                break;
            case FileRole::FishCharacter:
                Character(path, kFishSection + QStringLiteral(" %1 ").arg(f.Index + 1) + f.Name,
                          f.Path);
                break;
            case FileRole::Home:
                Exists(f.Owner, kHomePositionKey + u' ' + f.Name, f.Path);
                break;
            case FileRole::Sound:
                if (Exists(path, Section(f) + u' ' + f.Name, f.Path))
                    Plays(path, Section(f) + u' ' + f.Name, f.Path, false);
                break;
            default:
                Exists(path, Section(f) + u' ' + f.Name, f.Path);
                break;
            }
        }
    }

    // A fish character file named by an aquarium: missing, foreign or unreadable.
    void Character(const QString& aquarium, const QString& item, const QString& path)
    {
        if (!m_files.FileExists(path)) {
            Exists(aquarium, item, path);
            return;
        }
        try {
            const QStringList lines = m_files.ReadLines(path);
            if (LineValue(lines, NextDataLine(lines, 0)) != kCharacterMagic) {
                Report(aquarium, item, kNotACharacterProblem);
                return;
            }
            FishCharacter fish;
            ReadFishCharacter(lines, fish);
        } catch (const PlatformError& error) {
            Report(aquarium, item, error.Text());
        }
    }

    // The section of the aquarium file that names a file.
    static QString Section(const ReferencedFile& f)
    {
        switch (f.Role) {
        case FileRole::Sand: return kBottomSection;
        case FileRole::Bubble: return kBubbleSection;
        case FileRole::Food: return kFoodSection;
        case FileRole::Sound: return kSoundSection;
        case FileRole::FishBitmap: return kFishSection + QStringLiteral(" %1").arg(f.Index + 1);
        case FileRole::Accessory: return kObjectBmpSection;
        default: return QString();
        }
    }

    void List(const QString& listFile, const QString& folder, bool randomList)
    {
        if (!m_files.FileExists(listFile))
            return;
        QStringList entries;
        try {
            entries = m_files.ReadListFile(listFile);
        } catch (const PlatformError& error) {
            Report(listFile, QString(), error.Text());
            return;
        }
        if (randomList)
            FilterRandomList(entries);
        else
            RemoveEmptyEntries(entries);
        for (const QString& entry : entries) {
            if (Exists(listFile, entry, folder + entry) && !randomList)
                Plays(listFile, entry, folder + entry, true);
        }
    }

private:
    const Files& m_files;
    std::vector<CheckProblem>& m_problems;
};

} // namespace

std::vector<CheckProblem> CheckAquariumFiles(const AppState& state, const QStringList& paths)
{
    std::vector<CheckProblem> problems;
    Checker checker(state, problems);
    const Files& files = state.FileSystem;
    for (const QString& path : paths) {
        if (files.FolderExists(path)) {
            QString folder = path;
            if (!folder.endsWith(u'\\'))
                folder += u'\\';
            for (const QString& name : files.ListFiles(folder, kAquariumMask)) {
                if (!IsRandomListName(name))
                    checker.Aquarium(folder + name);
            }
            checker.List(folder + kRandomListName, folder, true);
        } else if (IsRandomListName(FileNamePart(path))) {
            checker.List(path, FolderOfPath(path), true);
        } else if (files.FileExists(path)) {
            checker.Aquarium(path);
        } else {
            checker.Report(path, QString(), kMissingFileProblem);
        }
    }
    checker.List(state.MidiListFile, state.MidiFolder, false);
    return problems;
}

} // namespace aquarium
