#pragma once

#include "core/operations/page_operations.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace aquarium {

struct AppState;
enum class AerationPosition;

// The user's edits as the windows send them: each runs an operation of the core as one
// step of the history, under the fixed name the user knows it by. An error is shown and
// the state it reached stays. Typing in a field and holding a scroll bar's slider are one
// step each, open until History::Close() (the field is left, the slider let go).
class UserEdits
{
public:
    explicit UserEdits(AppState& state) : m_state(state) { }

    // The fish page.
    void ChooseFishFile(int slot);
    void ClearFishSlot(int slot);
    void TypeFishDataNo(int slot, const QString& text);
    void TypeFishAmount(int slot, const QString& text);
    void SetFishCountsFixed(bool on);
    // A click on the slot's picture: the editor to open, or nothing (the slot was empty
    // and the file dialog ran instead, or the count is no number).
    [[nodiscard]] std::optional<EditorRequest> OpenCharacterEditor(int slot);

    // The tank page.
    void ChooseFileItem(FileItem item);
    void ClearFileItem(FileItem item);
    void ChooseSubFolder(int index);
    void SetBackgroundTiling(bool on);
    void SetColourFill(bool on);
    void SetBackgroundColour(int red, int green, int blue, bool sliderHeld);
    void SetIntermittentSound(bool on);
    void SetIntermittentStep(int step, bool sliderHeld);
    void SetAeration(AerationPosition position);
    void SetWaterFlow(int aquariumType);

    // The random list page.
    void RandomAddOne(const QString& fileName);
    void RandomCopyAll(const QStringList& fileNames);
    void RandomDeleteOne();
    void RandomDeleteAll();
    void RandomRevert();

    // The MIDI list page.
    void MidiInsertOne(const QString& fileName);
    void MidiDropAt(const QString& fileName, int row);
    void MidiCopyAll(const QStringList& fileNames);
    void MidiDeleteOne();
    void MidiDeleteAll();
    void MidiRelease(bool rightButton, int pressRow, int releaseRow);
    void MidiRevert();
    void LoadMidiListFile();
    void SaveMidiListFileAs();

private:
    void Record(const QString& step, const std::function<void()>& body);
    // A step that stays open while a slider is held.
    void Slide(const QString& step, bool held, const std::function<void()>& body);

    AppState& m_state;
};

// The names of the steps the history shows.
inline const QString kChooseFishStep = QStringLiteral("熱帯魚ﾃﾞｰﾀの選択");
inline const QString kClearFishStep = QStringLiteral("熱帯魚ﾃﾞｰﾀの消去");
inline const QString kFishDataNoStep = QStringLiteral("熱帯魚ﾃﾞｰﾀ数");
inline const QString kFishAmountStep = QStringLiteral("熱帯魚数");
inline const QString kCountsFixedStep = QStringLiteral("熱帯魚の数の設定");
inline const QString kSubFolderStep = QStringLiteral("ｻﾌﾞﾌｫﾙﾀﾞの変更");
inline const QString kTilingStep = QStringLiteral("ﾀｲﾙ表示");
inline const QString kColourFillStep = QStringLiteral("1色塗りつぶし");
inline const QString kColourStep = QStringLiteral("背景色");
inline const QString kIntermittentStep = QStringLiteral("断続音にする");
inline const QString kIntervalStep = QStringLiteral("断続音の間隔");
inline const QString kAerationStep = QStringLiteral("ｴｱﾚｰｼｮﾝの位置");
inline const QString kWaterFlowStep = QStringLiteral("水流");
inline const QString kMidiListStep = QStringLiteral("MIDIﾌｧｲﾙﾘｽﾄの変更");
// The file items' steps: 底砂のﾃﾞｰﾀ, 気泡のﾃﾞｰﾀ, 効果音のﾌｧｲﾙ, 餌のデータ, 背景画像ﾌｧｲﾙ.
[[nodiscard]] QString FileItemStep(FileItem item);
[[nodiscard]] QString RandomListStep();

} // namespace aquarium
