#pragma once

#include "core/operations/fish_editor_model.h"
#include "core/state/disk_changes.h"
#include "core/state/recovery.h"

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace aquarium {

struct AppState;

// TForm3: the fish character editor. Modeless; it hides itself when another window of the
// program becomes active, unless it holds edits. Opening reads the character's file into
// the controls and plays its motion; "Ok" (Enter) writes the file and hides, "Cancel"
// (Escape) hides, asking first when there are edits to throw away.
class FishEditor : public QWidget
{
    Q_OBJECT
public:
    explicit FishEditor(AppState& state, QWidget* parent = nullptr);
    // The window it belongs to (nullptr: none): shown, it stays above that one, so that a
    // click there never buries it. It stays a window of its own; the owner gives it back
    // before it goes.
    void SetOwner(QWidget* owner) { setParent(owner, windowFlags()); }

    // Shows the editor for a character path (DataFolder + CharacterName) and fish data
    // count; showing reads the file and renders the preview.
    void OpenFor(const QString& characterPath, int fishDataNo);

    FishEditorModel& Model() { return m_model; }

    // Whether the shown editor holds edits that Ok has not written.
    [[nodiscard]] bool HasEdits() const;
    // Without such edits true; with them asks whether to discard them (the answer).
    [[nodiscard]] bool MayDiscardEdits();

    void FormShow();
    void Button1Click(); // Ok
    void Button2Click(); // Cancel
    void Button3Click(); // 動きのテスト
    void Timer1Timer();
    void CheckBox6Click();
    // Ctrl+Z, Ctrl+Shift+Z / Ctrl+Y: the editor's own edits since it was opened.
    void Undo();
    void Redo();

    // The character file and its bitmap while the editor shows them (Windows paths).
    [[nodiscard]] QStringList WatchedFiles() const;
    // Files other programs changed: the character file is read again when the editor
    // holds no edits (else kept, and said so); the bitmap's preview is rendered again.
    [[nodiscard]] std::optional<DiskNotice> FollowDisk(const QStringList& files);
    // "読み込み直す" for the character file: read again, the edits lost.
    void ReloadFromDisk();

    // The record with its unsaved edits, for a recovery copy; nothing without edits.
    [[nodiscard]] std::optional<CharacterCopy> UnsavedCharacter() const;
    // A recovered record shown again: the character opened, the record's values over it.
    void Restore(const CharacterCopy& copy);

Q_SIGNALS:
    // Ok wrote the character file.
    void Saved();
    // The controls show the record anew (after an edit, among others).
    void Shown();

public:
    QTabWidget* TabbedNotebook1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr,
              *Edit9 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr, *ComboBox3 = nullptr;
    QLabel *Label19 = nullptr, *Label20 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr,
              *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr;
    QRadioButton* RadioButtons[kBmpFormatCount] = {}; // indexed by format
    QLabel* Image1 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr;
    QScrollBar *ScrollBar1 = nullptr, *ScrollBar2 = nullptr, *ScrollBar3 = nullptr,
               *ScrollBar4 = nullptr, *ScrollBar5 = nullptr;
    QLabel *Label7 = nullptr, *Label8 = nullptr, *Label3 = nullptr, *Label9 = nullptr,
           *Label4 = nullptr, *Label10 = nullptr, *Label5 = nullptr, *Label11 = nullptr,
           *Label6 = nullptr, *Label12 = nullptr;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A file dragged onto a field is refused: its address is never taken as text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFishPage(QWidget* page);
    void BuildAnimationPage(QWidget* page);
    // Shows the model in the controls, without their handlers running.
    void ShowModel();
    void ShowDisplay();
    void SyncTimer();
    void Run(const std::function<void()>& body);

    AppState& m_state;
    FishEditorModel m_model;
    bool m_showing = false; // the controls are being set from the model
    QString m_pendingPath;
    FishCharacter m_opened; // the fields as the file and the first render left them
    Files::FileStamp m_onDisk; // the character file as it was read or written
    int m_pendingFishDataNo = 1;
};

} // namespace aquarium
