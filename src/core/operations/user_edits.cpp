#include "core/operations/user_edits.h"

#include "core/document/vocabulary.h"
#include "core/operations/list_commands.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"

namespace aquarium {

QString FileItemStep(FileItem item)
{
    switch (item) {
    case FileItem::Sand: return QStringLiteral("底砂のﾃﾞｰﾀ");
    case FileItem::Bubble: return QStringLiteral("気泡のﾃﾞｰﾀ");
    case FileItem::Sound: return QStringLiteral("効果音のﾌｧｲﾙ");
    case FileItem::Food: return QStringLiteral("餌のデータ");
    case FileItem::Background: break;
    }
    return QStringLiteral("背景画像ﾌｧｲﾙ");
}

QString RandomListStep()
{
    return kRandomListName + u"の変更"_qs;
}

void UserEdits::Record(const QString& step, const std::function<void()>& body)
{
    m_state.Edits.Record(step, body);
}

void UserEdits::Slide(const QString& step, bool held, const std::function<void()>& body)
{
    if (!held) {
        Record(step, body);
        return;
    }
    m_state.Edits.Open(step);
    Guard(m_state.UserPrompts, body);
}

void UserEdits::ChooseFishFile(int slot)
{
    Record(kChooseFishStep, [&] { aquarium::ChooseFishFile(m_state, slot); });
}

void UserEdits::ClearFishSlot(int slot)
{
    Record(kClearFishStep, [&] { aquarium::ClearFishSlot(m_state, slot); });
}

void UserEdits::TypeFishDataNo(int slot, const QString& text)
{
    m_state.Edits.Open(kFishDataNoStep);
    m_state.Doc.Fish[size_t(slot)].FishDataNo = text;
    Guard(m_state.UserPrompts, [&] { RefreshFishSlot(m_state, slot); });
}

void UserEdits::TypeFishAmount(int slot, const QString& text)
{
    m_state.Edits.Open(kFishAmountStep);
    m_state.Doc.Fish[size_t(slot)].FishAmount = text;
}

void UserEdits::SetFishCountsFixed(bool on)
{
    Record(kCountsFixedStep, [&] { m_state.Doc.FishCountsFixed = on; });
}

std::optional<EditorRequest> UserEdits::OpenCharacterEditor(int slot)
{
    std::optional<EditorRequest> request;
    Record(kChooseFishStep, [&] { request = aquarium::OpenCharacterEditor(m_state, slot); });
    return request;
}

void UserEdits::ChooseFileItem(FileItem item)
{
    Record(FileItemStep(item), [&] {
        if (item == FileItem::Background)
            ChooseBackground(m_state);
        else
            aquarium::ChooseFileItem(m_state, item);
    });
}

void UserEdits::ClearFileItem(FileItem item)
{
    Record(FileItemStep(item), [&] { aquarium::ClearFileItem(m_state, item); });
}

void UserEdits::ChooseSubFolder(int index)
{
    Record(kSubFolderStep, [&] { aquarium::ChooseSubFolder(m_state, index); });
}

void UserEdits::SetBackgroundTiling(bool on)
{
    Record(kTilingStep, [&] { m_state.Doc.BackgroundTiling = on; });
}

void UserEdits::SetColourFill(bool on)
{
    Record(kColourFillStep, [&] { aquarium::SetColourFill(m_state, on); });
}

void UserEdits::SetBackgroundColour(int red, int green, int blue, bool sliderHeld)
{
    Slide(kColourStep, sliderHeld,
          [&] { aquarium::SetBackgroundColour(m_state, red, green, blue); });
}

void UserEdits::SetIntermittentSound(bool on)
{
    Record(kIntermittentStep, [&] { m_state.Doc.IntermittentSound = on; });
}

void UserEdits::SetIntermittentStep(int step, bool sliderHeld)
{
    Slide(kIntervalStep, sliderHeld,
          [&] { m_state.Doc.IntermittentStep = std::clamp(step, 1, 600); });
}

void UserEdits::SetAeration(AerationPosition position)
{
    Record(kAerationStep, [&] { m_state.Doc.Aeration = position; });
}

void UserEdits::SetWaterFlow(int aquariumType)
{
    Record(kWaterFlowStep, [&] { m_state.Doc.AquariumType = std::clamp(aquariumType, 0, 3); });
}

void UserEdits::RandomAddOne(const QString& fileName)
{
    Record(RandomListStep(), [&] { aquarium::RandomAddOne(m_state, fileName); });
}

void UserEdits::RandomCopyAll(const QStringList& fileNames)
{
    Record(RandomListStep(), [&] { aquarium::RandomCopyAll(m_state, fileNames); });
}

void UserEdits::RandomDeleteOne()
{
    Record(RandomListStep(), [&] { aquarium::RandomDeleteOne(m_state); });
}

void UserEdits::RandomDeleteAll()
{
    Record(RandomListStep(), [&] { aquarium::RandomDeleteAll(m_state); });
}

void UserEdits::RandomRevert()
{
    Record(RandomListStep(), [&] { aquarium::RandomRevert(m_state); });
}

void UserEdits::MidiInsertOne(const QString& fileName)
{
    Record(kMidiListStep, [&] { aquarium::MidiInsertOne(m_state, fileName); });
}

void UserEdits::MidiDropAt(const QString& fileName, int row)
{
    Record(kMidiListStep, [&] { aquarium::MidiDropAt(m_state, fileName, row); });
}

void UserEdits::MidiCopyAll(const QStringList& fileNames)
{
    Record(kMidiListStep, [&] { aquarium::MidiCopyAll(m_state, fileNames); });
}

void UserEdits::MidiDeleteOne()
{
    Record(kMidiListStep, [&] { aquarium::MidiDeleteOne(m_state); });
}

void UserEdits::MidiDeleteAll()
{
    Record(kMidiListStep, [&] { aquarium::MidiDeleteAll(m_state); });
}

void UserEdits::MidiRelease(bool rightButton, int pressRow, int releaseRow)
{
    Record(kMidiListStep,
           [&] { aquarium::MidiRelease(m_state, rightButton, pressRow, releaseRow); });
}

void UserEdits::MidiRevert()
{
    Record(kMidiListStep, [&] { aquarium::MidiRevert(m_state); });
}

void UserEdits::LoadMidiListFile()
{
    Record(kMidiListStep, [&] { aquarium::LoadMidiListFile(m_state); });
}

void UserEdits::SaveMidiListFileAs()
{
    Record(kMidiListStep, [&] { aquarium::SaveMidiListFileAs(m_state); });
}

} // namespace aquarium
