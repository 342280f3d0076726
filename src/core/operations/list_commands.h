#pragma once

#include <QString>
#include <QStringList>

namespace aquarium {

struct AppState;

// What the two list pages do to the application state. Errors throw.

// The random list (kept sorted): a file name of the aquarium file list added.
void RandomAddOne(AppState& state, const QString& fileName);
// "<<< Copy All": the list becomes every name of the file list (random.uld too).
void RandomCopyAll(AppState& state, const QStringList& fileNames);
void RandomDeleteOne(AppState& state);
void RandomDeleteAll(AppState& state);
// "元に戻す": DataFolder\random.uld as it stands, unfiltered. A missing file leaves the list
// empty and throws CannotOpen.
void RandomRevert(AppState& state);

// The MIDI list (in the user's order).
// "< Copy": before the selected entry, or at the end.
void MidiInsertOne(AppState& state, const QString& fileName);
// A file dropped on row (rows from the first entry).
void MidiDropAt(AppState& state, const QString& fileName, int row);
void MidiCopyAll(AppState& state, const QStringList& fileNames);
void MidiDeleteOne(AppState& state);
void MidiDeleteAll(AppState& state);
// A button released on releaseRow after a press on pressRow; the right button deletes
// the selected entry first.
void MidiRelease(AppState& state, bool rightButton, int pressRow, int releaseRow);
void MidiRevert(AppState& state);
// "Listファイルの読み込み...": asks for a list file and reads it.
void LoadMidiListFile(AppState& state);
// "Listﾌｧｲﾙ名前を付けて保存...": asks for a name (cancel keeps the current one) and writes.
void SaveMidiListFileAs(AppState& state);

inline const QString kNoFileNames = QStringLiteral("ﾌｧｲﾙ名のﾘｽﾄがありません");

} // namespace aquarium
