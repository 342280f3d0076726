#pragma once

#include "core/operations/user_edits.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace aquarium {

struct AppState;
class ListBox;
class Listening;

// The page "水槽の設定": the data sub-folder, the sand, bubble, sound, food and background
// files, the solid colour, intermittent sound, aeration and water flow.
class TankPage : public QWidget
{
    Q_OBJECT
public:
    explicit TankPage(AppState& state, QWidget* parent = nullptr);

    void Refresh();

    // Where the play button beside the sound plays it (nothing plays without one).
    void SetListening(Listening* listening);
    // The play button: the chosen sound once; while it plays, stops it.
    void PlaySoundClick();

Q_SIGNALS:
    // The state changed: every view is to show it anew.
    void Changed();
    // What the user is to be told (in the status bar).
    void Said(const QString& text);

public:

    void FileListBox2Click(int row);
    void CheckBox3Click();
    void ScrollBarColourChange();
    void CheckBox4Click();
    void ScrollBar4Change();

    QLabel *Label15 = nullptr, *Label16 = nullptr;
    ListBox* FileListBox2 = nullptr;
    QPushButton *Button2 = nullptr, *Button8 = nullptr, *Button9 = nullptr, *Button27 = nullptr,
                *Button28 = nullptr;
    QLabel *Label4 = nullptr, *Label6 = nullptr, *Label8 = nullptr, *Label12 = nullptr,
           *Label25 = nullptr;
    QPushButton* SoundPlayButton = nullptr; // at the end of Label8's row
    QCheckBox *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Image11 = nullptr;
    QScrollBar *ScrollBar1 = nullptr, *ScrollBar2 = nullptr, *ScrollBar3 = nullptr,
               *ScrollBar4 = nullptr;
    QLabel *Label27 = nullptr, *Label28 = nullptr, *Label29 = nullptr;
    QGroupBox *RadioGroup1 = nullptr, *GroupBox1 = nullptr;
    QRadioButton* Aeration[4] = {};  // RadioButton1..4: right, centre, left, all
    QRadioButton* WaterFlow[4] = {}; // RadioButton5..8: aquarium type 0..3

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After an edit: the page and every view show the state.
    void Edited();

    // The sound file the play button plays (a Windows path), empty when none is named.
    [[nodiscard]] QString SoundPath() const;

    AppState& m_state;
    UserEdits m_edits;
    Listening* m_listening = nullptr;
    bool m_showing = false;
};

} // namespace aquarium
