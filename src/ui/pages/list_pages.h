#pragma once

#include "core/operations/user_edits.h"
#include "ui/widgets/list_box.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace aquarium {

inline const QString kNotInFileListMessage =
        QStringLiteral("%1 は %2 のﾌｧｲﾙﾘｽﾄにないので追加できません");

struct AppState;
class FileListBox;
class Listening;

// A list box of the list pages: rows of 13 pixels, a file dropped from a file list box
// goes to the row under the drop point; a right press does not select.
class DropListBox : public ListBox
{
    Q_OBJECT
public:
    explicit DropListBox(QWidget* parent);

    // The row of a point of the viewport, counted from the first entry (the scroll offset
    // added); a point above the top counts as the top row.
    [[nodiscard]] int RowAt(QPoint viewportPosition) const;
    // Whether a point of the screen lies over the list.
    [[nodiscard]] bool Contains(QPoint globalPosition) const;

    static constexpr int kRowHeight = 13;

Q_SIGNALS:
    void Pressed(Qt::MouseButton button, QPoint position);
    void Released(Qt::MouseButton button, QPoint position);
    void SelectionMoved(int row);
    // A file from a file manager was dropped on row (a host path).
    void FileDropped(const QString& hostPath, int row);
    // The Delete key: the selected entry is to go, as by the right button.
    void DeletePressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The page "random.uldの設定".
class RandomListPage : public QWidget
{
    Q_OBJECT
public:
    explicit RandomListPage(AppState& state, QWidget* parent = nullptr);
    void Refresh();

    DropListBox* ListBox1 = nullptr;
    FileListBox* FileListBox4 = nullptr;
    QPushButton *Button12 = nullptr, *Button14 = nullptr, *Button13 = nullptr,
                *Button15 = nullptr, *Button22 = nullptr;

Q_SIGNALS:
    void Changed();

private:
    // Runs an edit, then the page and every view show the state.
    void Run(const std::function<void()>& edit);
    AppState& m_state;
    UserEdits m_edits;
};

// The page "MIDIﾌｧｲﾙﾘｽﾄの設定".
class MidiListPage : public QWidget
{
    Q_OBJECT
public:
    explicit MidiListPage(AppState& state, QWidget* parent = nullptr);
    void Refresh();
    // Where the play button plays (nothing plays without one).
    void SetListening(Listening* listening);
    // The play button: the selected entry of the list or file list last used plays to its
    // end; while it plays, stops it. The list does not change.
    void PlayClick();

    QLineEdit* Edit7 = nullptr;
    QPushButton* PlayButton = nullptr;
    DropListBox* ListBox2 = nullptr;
    FileListBox* FileListBox3 = nullptr;
    QPushButton *Button16 = nullptr, *Button17 = nullptr, *Button18 = nullptr,
                *Button19 = nullptr, *Button23 = nullptr, *Button20 = nullptr,
                *Button21 = nullptr;

Q_SIGNALS:
    void Changed();
    // What the user is to be told (in the status bar).
    void Said(const QString& text);

private:
    // Runs an edit, then the page and every view show the state.
    void Run(const std::function<void()>& edit);
    // The file the play button would play now (a Windows path), empty when none.
    [[nodiscard]] QString ChosenPiece() const;
    void ShowPlayButton();
    void Play(const QString& windowsPath);
    AppState& m_state;
    UserEdits m_edits;
    Listening* m_listening = nullptr;
    ListBox* m_lastList = nullptr; // the list a piece was last chosen in
    int m_pressRow = 0;
};

} // namespace aquarium
