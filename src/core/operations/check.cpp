#include "core/operations/check.h"

#include "core/document/aquarium_file.h"
#include "core/document/fish_character.h"
#include "core/document/line_scan.h"
#include "core/document/list_logic.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
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
    void Exists(const QString& file, const QString& item, const QString& path)
    {
        if (!CanEncodeShiftJis(item))
            Report(file, item, QStringLiteral("Shift-JIS で表せない文字があります"));
        else if (!m_files.FileExists(path))
            Report(file, item, QStringLiteral("ファイルがありません"));
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
                Report(path, QString(), QStringLiteral("Kesso's Ulvaro Data Fileではありません"));
                return;
            case ReadOutcome::Malformed:
                Report(path, QString(), QStringLiteral("ULDﾌｧｲﾙの内容が不正です"));
                return;
            case ReadOutcome::Read:
                break;
            }
        } catch (const PlatformError& error) {
            Report(path, QString(), error.Text());
            return;
        }
        const QString& folder = doc.DataFolder;
        auto named = [&](const QString& section, const QString& name, const QString& extension) {
            if (name.isEmpty() || name == u"null")
                return;
            Exists(path, section + u' ' + name + extension, folder + name + extension);
        };
        named(QStringLiteral("[Bottom]"), doc.SandName, QStringLiteral(".bmp"));
        named(QStringLiteral("[Bubble]"), doc.BubbleName, QStringLiteral(".bmp"));
        named(QStringLiteral("[Food]"), doc.FoodName, QStringLiteral(".bmp"));
        named(QStringLiteral("[Sound]"), doc.SoundName, QStringLiteral(".wav"));
        if (!doc.BackgroundColourFill && doc.BackgroundSource != u"null")
            Exists(path, u"[Option] BitmapFile "_qs + doc.BackgroundSource, doc.BackgroundSource);
        for (int i = 0; i < kFishSlotCount; ++i) {
            const FishSlot& slot = doc.Fish[size_t(i)];
            if (slot.CharacterName.isEmpty())
                continue;
            const QString label = QStringLiteral("[Fish] %1 ").arg(i + 1);
            const QString character = folder + slot.CharacterName;
            named(label.trimmed(), slot.CharacterName, QStringLiteral(".bmp"));
            const QString ulc = label + slot.CharacterName + u".ulc"_qs;
            if (!m_files.FileExists(character + u".ulc"_qs)) {
                Exists(path, ulc, character + u".ulc"_qs);
                continue;
            }
            FishCharacter fish;
            try {
                const QStringList fishLines = m_files.ReadLines(character + u".ulc"_qs);
                if (LineValue(fishLines, NextDataLine(fishLines, 0)) != kCharacterMagic) {
                    Report(path, ulc, QStringLiteral("熱帯魚のﾃﾞｰﾀﾌｧｲﾙではありません"));
                    continue;
                }
                ReadFishCharacter(fishLines, fish);
            } catch (const PlatformError& error) {
                Report(path, ulc, error.Text());
                continue;
            }
            if (fish.GatherAtAccessory && !fish.HomePosition.isEmpty())
                Exists(character + u".ulc"_qs, u"HomePosition "_qs + fish.HomePosition,
                       folder + fish.HomePosition);
        }
        for (int e = 0; e <= doc.LastObjectBmp; ++e)
            named(QStringLiteral("[ObjectBMP]"), doc.ObjectBmpTable[size_t(e)].BmpName,
                  QStringLiteral(".bmp"));
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
        for (const QString& entry : entries)
            Exists(listFile, entry, folder + entry);
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
            for (const QString& name : files.ListFiles(folder, QStringLiteral("*.uld"))) {
                if (!IsRandomListName(name))
                    checker.Aquarium(folder + name);
            }
            checker.List(folder + u"random.uld"_qs, folder, true);
        } else if (IsRandomListName(FileNamePart(path))) {
            checker.List(path, FolderOfPath(path), true);
        } else if (files.FileExists(path)) {
            checker.Aquarium(path);
        } else {
            checker.Report(path, QString(), QStringLiteral("ファイルがありません"));
        }
    }
    checker.List(state.MidiListFile, state.MidiFolder, false);
    return problems;
}

} // namespace aquarium
