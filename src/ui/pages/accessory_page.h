#pragma once

#include "core/operations/layout_canvas.h"

#include <QLabel>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace aquarium {

struct AppState;
class FileListBox;

// The layout canvas Image5: shows the number strip and feeds its mouse events, with the
// held keys and buttons, to the canvas logic. After a press, moves and the release come
// here even outside the canvas. With the focus it shows a frame and the keyboard's cursor,
// and takes the canvas's keys.
class CanvasWidget : public QLabel
{
    Q_OBJECT
public:
    CanvasWidget(AppState& state, LayoutCanvas& canvas, FileListBox& files, QWidget* parent);

    // The keyboard's cursor shows: the focus came by Tab, or a key of the canvas was used
    // since the last click.
    [[nodiscard]] bool CursorShown() const { return hasFocus() && m_byKeys; }

Q_SIGNALS:
    void Changed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Run(const std::function<void()>& body);

    AppState& m_state;
    LayoutCanvas& m_canvas;
    FileListBox& m_files;
    bool m_byKeys = false;
};

// The page "ｱｸｾｻﾘの設定": the tank picture, the accessory pictures of the sub-folder with
// a preview, the status panel, the layout canvas and its help.
class AccessoryPage : public QWidget
{
    Q_OBJECT
public:
    explicit AccessoryPage(AppState& state, QWidget* parent = nullptr);

    void Refresh();
    // A drag on the canvas ends where it stands (before an undo).
    void EndDrag();
    // After an undo or a load: the canvas shows what is under its cursor.
    void Follow();
    // The picture the preview Image6 shows (a Windows path), empty when none.
    [[nodiscard]] QString PreviewFile() const;
    void FileListBox1Change();
    void Button11Click();

    LayoutCanvas& Canvas() { return m_canvas; }

    QLabel* Image4 = nullptr;
    QLabel* Image6 = nullptr;
    FileListBox* FileListBox1 = nullptr;
    QLabel *Label17 = nullptr, *Label19 = nullptr, *Label26 = nullptr;
    CanvasWidget* Image5 = nullptr;
    QLabel* Image7 = nullptr;
    QPushButton* Button11 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

Q_SIGNALS:
    void Changed();

private:
    AppState& m_state;
    LayoutCanvas m_canvas;
};

} // namespace aquarium
