#pragma once

#include "core/document/fish_character.h"
#include "core/preview/motion_player.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace aquarium {

class Files;
class Prompts;

// Which of the page-2 setting rows a format shows.
struct FormatRows
{
    bool FrameCaption = false; // caption and value label of the frame count
    bool FrameBar = false;     // its scroll bar
    bool HorizontalAmplitude = false;
    bool VerticalAmplitude = false;
    bool WaveLength = false;
    bool Phase = false;
    bool QuarterWave = false; // CheckBox4
};

[[nodiscard]] FormatRows RowsOf(BmpFormat checkedButton);

// The fish character editor without its widgets: the values its controls show, its
// private values, the opening, the format presets, the preview and the mapping that
// "Ok" writes. The window mirrors it.
class FishEditorModel
{
public:
    // The controls: page-1 fields, check boxes and scroll bar positions. Fields.Format is
    // the editor's private format (which the checked radio button need not show);
    // Fields.FishDataNo its private fish data count.
    FishCharacter Fields;
    BmpFormat CheckedButton = BmpFormat::NoAnimation;
    QString CharacterPath; // the caption of Label1
    MotionPlayer Player;

    // Steps 1 to 4 of showing the window for a character: defaults, reading the file,
    // selecting the format's button. A number that does not convert throws after what
    // was read is in place; the format is then not selected.
    void Open(const Files& files, const QString& characterPath, int fishDataNo);

    // A format button becomes selected by the user: stops the preview, sets the format,
    // applies its loop and frame-count presets.
    void SelectFormat(BmpFormat format);

    // A scroll bar moved: the preview stops; the frame count also sets AnimCount.
    void SetFrames(int value);
    void SetStretchDX(int value);
    void SetStretchDY(int value);
    void SetWaveLength(int value);
    void SetPhase(int value);

    // Renders the preview from the character's bitmap and starts it; applies the render's
    // adjustments. A bitmap that cannot be read, or a degenerate cell, throws and leaves
    // the preview stopped and the previous strip in place.
    void Render(const Files& files);

    // CheckBox6 "アクセサリに集まる": off, the home picture goes; on, a bitmap is asked for
    // (starting in dataFolder + dataSubFolder) and its name in the sub-folder becomes the
    // home when that file exists. Cancelled, it stays off.
    void SetGatherAtAccessory(bool on, const Files& files, Prompts& prompts,
                              const QString& dataFolder, const QString& dataSubFolder);

    // The editor's own history of the user's edits since it was opened: each step keeps
    // the controls' values before and after. Edit runs one step; Open and Close bracket a
    // step that lasts (typing in a field). Undo and Redo put values back (the preview
    // stops) and return whether there was a step.
    void Edit(const std::function<void()>& body);
    void Open();
    void Close();
    bool Undo();
    bool Redo();
    void ClearHistory();
    [[nodiscard]] bool CanUndo() const { return !m_undo.empty() || m_open.has_value(); }
    [[nodiscard]] bool CanRedo() const { return !m_redo.empty(); }

    // Whether the up-and-down controls show: exactly while the layer is "底が大好き".
    [[nodiscard]] bool UpDownShown() const { return Fields.PreferredLayer == kLovesTheBottom; }
    [[nodiscard]] FormatRows Rows() const { return RowsOf(CheckedButton); }

    // The record "Ok" writes, numeric fields normalised.
    [[nodiscard]] FishCharacter ForSaving() const;
    void NormaliseFields();

private:
    void ApplyPresets(BmpFormat format, bool loopPreset);

    struct Values
    {
        FishCharacter Fields;
        BmpFormat CheckedButton;
        bool operator==(const Values&) const = default;
    };
    [[nodiscard]] Values Current() const { return {Fields, CheckedButton}; }
    void PutBack(const Values& values);
    void Push(const Values& before);

    std::vector<Values> m_undo;
    std::vector<Values> m_redo;
    std::optional<Values> m_open;
};

// Text that is no integer becomes the fallback; capped at 100 when asked.
[[nodiscard]] QString NormaliseNumber(const QString& text, const QString& fallback, bool cap100);
// Every numeric text field of the record: no integer gives the field's default (the upper
// range "0"), and the three percentages are capped at 100.
void NormaliseNumberFields(FishCharacter& character);

} // namespace aquarium
