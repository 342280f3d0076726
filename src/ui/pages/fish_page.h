#pragma once

#include "core/operations/user_edits.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace aquarium {

struct AppState;
class FishEditor;

// The page "熱帯魚の設定": the six fish slots. Each slot's button chooses a fish (a right
// press empties it), its picture opens the fish character editor.
class FishPage : public QWidget
{
    Q_OBJECT
public:
    FishPage(AppState& state, FishEditor& editor, QWidget* parent = nullptr);

    void Refresh();

Q_SIGNALS:
    // The state changed: every view is to show it anew.
    void Changed();

public:

    void ChooseFishFile(int slot);     // Button3Click ... Button26Click
    void ClearFishSlot(int slot);      // right press on a slot button
    void OpenCharacterEditor(int slot); // Image1Click ...
    void CheckBox1Click();

    struct Slot
    {
        QPushButton* Button = nullptr;
        QLabel* Name = nullptr;
        QLineEdit* FishDataNo = nullptr;
        QLineEdit* FishAmount = nullptr;
        QLabel* Picture = nullptr;
    };
    std::array<Slot, 6> Slots;
    QLabel* Label5 = nullptr;
    QLabel* Label10 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After an edit: the page and every view show the state.
    void Edited();

    AppState& m_state;
    UserEdits m_edits;
    FishEditor& m_editor;
    QLabel* m_amountRight = nullptr;
    bool m_showing = false;
};

} // namespace aquarium
