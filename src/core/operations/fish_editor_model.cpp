#include "core/operations/fish_editor_model.h"

#include "core/document/aquarium.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/prompts.h"

#include <algorithm>

namespace aquarium {

FormatRows RowsOf(BmpFormat button)
{
    FormatRows rows;
    switch (button) {
    case BmpFormat::NoAnimation: break;
    case BmpFormat::ShadowMapping: rows.FrameCaption = true; break;
    case BmpFormat::Animation: rows.FrameCaption = rows.FrameBar = true; break;
    case BmpFormat::XStretch:
        rows.FrameCaption = rows.FrameBar = rows.HorizontalAmplitude = true;
        break;
    case BmpFormat::YStretch:
        rows.FrameCaption = rows.FrameBar = rows.VerticalAmplitude = true;
        break;
    case BmpFormat::XYStretch:
        rows.FrameCaption = rows.FrameBar = rows.HorizontalAmplitude = rows.VerticalAmplitude =
                true;
        break;
    case BmpFormat::HWave:
    case BmpFormat::HWave2:
        rows.FrameCaption = rows.FrameBar = rows.VerticalAmplitude = rows.WaveLength =
                rows.Phase = rows.QuarterWave = true;
        break;
    case BmpFormat::VWave:
    case BmpFormat::VWave2:
        rows.FrameCaption = rows.FrameBar = rows.HorizontalAmplitude = rows.WaveLength =
                rows.Phase = rows.QuarterWave = true;
        break;
    }
    return rows;
}

void FishEditorModel::ApplyPresets(BmpFormat format, bool loopPreset)
{
    Player.Stop();
    Fields.Format = format;
    CheckedButton = format;
    switch (format) {
    case BmpFormat::NoAnimation:
        if (loopPreset)
            Fields.AnimLoop = false;
        break;
    case BmpFormat::ShadowMapping:
        if (loopPreset)
            Fields.AnimLoop = false;
        SetFrames(2);
        break;
    case BmpFormat::Animation:
        SetFrames(Fields.AnimationDataNo);
        break;
    case BmpFormat::XStretch:
    case BmpFormat::YStretch:
    case BmpFormat::XYStretch:
        if (loopPreset)
            Fields.AnimLoop = true;
        if (Fields.AnimationDataNo == 1)
            SetFrames(2);
        break;
    default: // the wave formats
        if (loopPreset)
            Fields.AnimLoop = false;
        SetFrames(Fields.AnimationDataNo);
        break;
    }
}

void FishEditorModel::SelectFormat(BmpFormat format)
{
    if (format == CheckedButton)
        return; // the presets apply only when a button becomes selected
    ApplyPresets(format, true);
}

void FishEditorModel::Open(const Files& files, const QString& characterPath, int fishDataNo)
{
    CharacterPath = characterPath;
    const FishCharacter defaults;
    // Page 1 to its defaults (the upper range is kept), every check box off.
    const QString upperRange = Fields.UpperRange;
    FishCharacter& f = Fields;
    f.TurnFrequency = defaults.TurnFrequency;
    f.HorizontalStep = defaults.HorizontalStep;
    f.VerticalStep = defaults.VerticalStep;
    f.MaxSpeedMultiple = defaults.MaxSpeedMultiple;
    f.PreferredLayer = defaults.PreferredLayer;
    f.UpDownLiking = defaults.UpDownLiking;
    f.UpperRange = upperRange;
    f.FoodRange = defaults.FoodRange;
    f.SchoolingFrequency = defaults.SchoolingFrequency;
    f.SchoolRange = defaults.SchoolRange;
    f.RestFrequency = defaults.RestFrequency;
    f.Friendliness = defaults.Friendliness;
    f.FrontGlass = f.QuickTurn = f.Slow = f.GatherAtAccessory = false;
    f.AnimLoop = f.QuarterWave = false;
    f.HomePosition.clear();

    if (CheckedButton != BmpFormat::NoAnimation)
        ApplyPresets(BmpFormat::NoAnimation, true);
    f.Format = BmpFormat::ShadowMapping;
    f.FishDataNo = fishDataNo;
    Player.SetAnimCount(2);

    // The file's values land in the controls; a bad number stops here, what was read stays.
    LoadFishCharacter(files, characterPath, f);

    // The file's loop value wins over the format's preset on opening.
    if (f.Format != BmpFormat::NoAnimation && f.Format != CheckedButton)
        ApplyPresets(f.Format, false);
}

void FishEditorModel::SetFrames(int value)
{
    Player.Stop();
    Fields.AnimationDataNo = std::clamp(value, 1, 64);
    Player.SetAnimCount(Fields.AnimationDataNo);
}

void FishEditorModel::SetStretchDX(int value)
{
    Player.Stop();
    Fields.StretchDX = std::clamp(value, 0, 50);
}

void FishEditorModel::SetStretchDY(int value)
{
    Player.Stop();
    Fields.StretchDY = std::clamp(value, 0, 50);
}

void FishEditorModel::SetWaveLength(int value)
{
    Player.Stop();
    Fields.WaveLength = std::clamp(value, 1, 32);
}

void FishEditorModel::SetPhase(int value)
{
    Player.Stop();
    Fields.Phase = std::clamp(value, 0, 15);
}

void FishEditorModel::Render(const Files& files)
{
    Player.Stop();
    PreviewResult result = RenderPreview(PreviewInputsOf(
        Fields, files.LoadPicture(CharacterPath + kBitmapExtension), Fields.FishDataNo));
    Fields.Format = result.Format; // No_Animation is now Animation; its button stays
    SetFrames(result.FrameCount);
    Fields.AnimLoop = result.AnimLoop;
    Player.Start(std::move(result));
}

void FishEditorModel::SetGatherAtAccessory(bool on, const Files& files, Prompts& prompts,
                                           const QString& dataFolder,
                                           const QString& dataSubFolder)
{
    FishCharacter& f = Fields;
    f.HomePosition.clear();
    f.GatherAtAccessory = false;
    if (!on)
        return;
    FileDialogRequest request;
    request.Filter = kHomeBitmapFilter;
    request.DefaultExtension = QStringLiteral("bmp");
    request.InitialFolder = dataFolder + dataSubFolder;
    const std::optional<QString> chosen = prompts.OpenFileName(request);
    if (!chosen)
        return;
    f.GatherAtAccessory = true;
    f.HomePosition = dataSubFolder + FileNamePart(*chosen);
    if (!files.FileExists(dataFolder + f.HomePosition))
        f.HomePosition.clear();
}

void FishEditorModel::PutBack(const Values& values)
{
    Player.Stop();
    Fields = values.Fields;
    CheckedButton = values.CheckedButton;
    Player.SetAnimCount(Fields.AnimationDataNo);
}

void FishEditorModel::Push(const Values& before)
{
    if (before == Current())
        return;
    m_undo.push_back(before);
    m_redo.clear();
}

void FishEditorModel::Edit(const std::function<void()>& body)
{
    Close();
    const Values before = Current();
    try {
        body();
    } catch (...) {
        Push(before);
        throw;
    }
    Push(before);
}

void FishEditorModel::Open()
{
    if (!m_open)
        m_open = Current();
}

void FishEditorModel::Close()
{
    if (!m_open)
        return;
    const Values before = *m_open;
    m_open.reset();
    Push(before);
}

bool FishEditorModel::Undo()
{
    Close();
    if (m_undo.empty())
        return false;
    m_redo.push_back(Current());
    PutBack(m_undo.back());
    m_undo.pop_back();
    return true;
}

bool FishEditorModel::Redo()
{
    Close();
    if (m_redo.empty())
        return false;
    m_undo.push_back(Current());
    PutBack(m_redo.back());
    m_redo.pop_back();
    return true;
}

void FishEditorModel::ClearHistory()
{
    m_undo.clear();
    m_redo.clear();
    m_open.reset();
}

QString NormaliseNumber(const QString& text, const QString& fallback, bool cap100)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        return fallback;
    if (cap100 && value > 100)
        return QStringLiteral("100");
    return text;
}

void NormaliseNumberFields(FishCharacter& f)
{
    const FishCharacter d;
    f.TurnFrequency = NormaliseNumber(f.TurnFrequency, d.TurnFrequency, false);
    f.HorizontalStep = NormaliseNumber(f.HorizontalStep, d.HorizontalStep, false);
    f.VerticalStep = NormaliseNumber(f.VerticalStep, d.VerticalStep, false);
    f.MaxSpeedMultiple = NormaliseNumber(f.MaxSpeedMultiple, d.MaxSpeedMultiple, false);
    f.UpperRange = NormaliseNumber(f.UpperRange, QStringLiteral("0"), true);
    f.FoodRange = NormaliseNumber(f.FoodRange, d.FoodRange, false);
    f.SchoolingFrequency = NormaliseNumber(f.SchoolingFrequency, d.SchoolingFrequency, true);
    f.SchoolRange = NormaliseNumber(f.SchoolRange, d.SchoolRange, false);
    f.RestFrequency = NormaliseNumber(f.RestFrequency, d.RestFrequency, true);
}

void FishEditorModel::NormaliseFields()
{
    NormaliseNumberFields(Fields);
}

FishCharacter FishEditorModel::ForSaving() const
{
    FishCharacter record = Fields;
    NormaliseNumberFields(record);
    return record;
}

} // namespace aquarium
