#include "ui/pages/accessory_page.h"

#include "core/platform/platform_error.h"
#include "core/platform/raster.h"
#include "core/state/app_state.h"
#include "ui/widgets/file_list_box.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStatusTipEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace aquarium {

namespace {

unsigned KeysOf(const QMouseEvent* event, bool doubleClick)
{
    unsigned keys = 0;
    const Qt::KeyboardModifiers m = event->modifiers();
    if (m & Qt::ShiftModifier) keys |= kShift;
    if (m & Qt::ControlModifier) keys |= kCtrl;
    if (m & Qt::AltModifier) keys |= kAlt;
    const Qt::MouseButtons b = event->buttons();
    if (b & Qt::LeftButton) keys |= kLeftButton;
    if (b & Qt::RightButton) keys |= kRightButton;
    if (b & Qt::MiddleButton) keys |= kMiddleButton;
    if (doubleClick) keys |= kDoubleClick;
    return keys;
}

MouseButton ButtonOf(const QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return MouseButton::Left;
    }
}

} // namespace

CanvasWidget::CanvasWidget(AppState& state, LayoutCanvas& canvas, FileListBox& files,
                           QWidget* parent)
    : QLabel(parent), m_state(state), m_canvas(canvas), m_files(files)
{
    setObjectName(QStringLiteral("Image5"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("アクセサリの配置"));
    setAccessibleDescription(kCanvasKeysHelp);
}

void CanvasWidget::keyPressEvent(QKeyEvent* event)
{
    static const std::pair<int, CanvasKey> keys[] = {
            {Qt::Key_Left, CanvasKey::Left},     {Qt::Key_Right, CanvasKey::Right},
            {Qt::Key_Up, CanvasKey::Up},         {Qt::Key_Down, CanvasKey::Down},
            {Qt::Key_Return, CanvasKey::Place},  {Qt::Key_Enter, CanvasKey::Place},
            {Qt::Key_Space, CanvasKey::Hold},    {Qt::Key_Escape, CanvasKey::LetGo},
            {Qt::Key_Delete, CanvasKey::Delete}, {Qt::Key_S, CanvasKey::Sway},
            {Qt::Key_W, CanvasKey::Spread}};
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    for (const auto& [code, key] : keys) {
        if (event->key() == code && modifiers == Qt::NoModifier) {
            const QString selected = m_files.SelectedName();
            if (!m_byKeys) {
                // The first key shows the cursor where it stood; arrows then move it.
                m_byKeys = true;
                if (key >= CanvasKey::Left && key <= CanvasKey::Down) {
                    Run([&] { m_canvas.Follow(true); });
                    update();
                    return;
                }
            }
            Run([&] { m_canvas.Key(key, selected); });
            update();
            return;
        }
    }
    QLabel::keyPressEvent(event);
}

void CanvasWidget::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    // The keys, in the window's status bar while the canvas has the focus.
    QStatusTipEvent tip(kCanvasKeysHelp);
    QCoreApplication::sendEvent(this, &tip);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        m_byKeys = true;
        Run([&] { m_canvas.Follow(true); });
    }
}

void CanvasWidget::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    Run([&] { m_canvas.Key(CanvasKey::LetGo, QString()); });
    QStatusTipEvent tip {QString()};
    QCoreApplication::sendEvent(this, &tip);
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(QColor(0x20, 0x50, 0xd0));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_byKeys)
        return;
    const CanvasCursor cursor = m_canvas.Cursor();
    const Rect box = CellBox(cursor.Column, cursor.Layer);
    pen.setStyle(Qt::SolidLine);
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawRect(QRect(QPoint(box.Left + 1, box.Top + 1), QPoint(box.Right - 2, box.Bottom - 2)));
}

void CanvasWidget::Run(const std::function<void()>& body)
{
    Guard(m_state.UserPrompts, body);
    Q_EMIT Changed();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event)
{
    if (m_byKeys) {
        m_byKeys = false;
        update();
    }
    const QPoint p = event->position().toPoint();
    Run([&] { m_canvas.MouseDown(ButtonOf(event), KeysOf(event, false), p.x(), p.y()); });
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Run([&] { m_canvas.MouseDown(ButtonOf(event), KeysOf(event, true), p.x(), p.y()); });
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Run([&] { m_canvas.MouseMove(KeysOf(event, false), p.x(), p.y()); });
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const QString selected = m_files.SelectedName();
    Run([&] { m_canvas.MouseUp(ButtonOf(event), KeysOf(event, false), p.x(), p.y(), selected); });
}

AccessoryPage::AccessoryPage(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_canvas(state)
{
    setObjectName(QStringLiteral("AccessoryPage"));
    Image4 = new QLabel(this);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(5, 4, 320, 240);
    Image6 = new QLabel(this);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->setGeometry(326, 4, 161, 129);
    Image6->setPixmap(QPixmap::fromImage(MakePicture(161, 129, kBlack)));
    FileListBox1 = new FileListBox(state.FileSystem, kBitmapMask, this, 13);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(326, 131, 161, 125);
    QFont small = FileListBox1->font();
    small.setPixelSize(13);
    FileListBox1->setFont(small);
    connect(FileListBox1, &ListBox::SelectionChanged, this,
            &AccessoryPage::FileListBox1Change);
    auto* caption = new QLabel(QStringLiteral("アクセサリ画像ファイル"), this);
    caption->setObjectName(QStringLiteral("Label18"));
    caption->move(330, 262);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(334, 288, 147, 57);
    Label17 = new QLabel(panel);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label17->setGeometry(17, 0, 130, 16);
    Label19 = new QLabel(panel);
    Label19->setObjectName(QStringLiteral("Label19"));
    Label19->setGeometry(24, 20, 123, 16);
    Label26 = new QLabel(panel);
    Label26->setObjectName(QStringLiteral("Label26"));
    Label26->setGeometry(24, 40, 123, 16);

    Image5 = new CanvasWidget(state, m_canvas, *FileListBox1, this);
    Image5->setGeometry(6, 246, 320, 126);
    connect(Image5, &CanvasWidget::Changed, this, &AccessoryPage::Changed);

    // The box colours red, yellow and white; hidden, as the boxes are filled directly.
    Image7 = new QLabel(this);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setGeometry(382, 217, 75, 20);
    QImage swatch = MakePicture(75, 20, kBoxWhite);
    FillRect(swatch, {0, 0, 25, 20}, kBoxRed);
    FillRect(swatch, {25, 0, 50, 20}, kBoxYellow);
    Image7->setPixmap(QPixmap::fromImage(swatch));
    Image7->hide();

    Button11 = new QPushButton(QStringLiteral("Help"), this);
    Button11->setObjectName(QStringLiteral("Button11"));
    Button11->setGeometry(332, 356, 149, 25);
    connect(Button11, &QPushButton::clicked, this, &AccessoryPage::Button11Click);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(5, 248, 321, 129);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(LayoutHelpLines().join(u'\n'));
    Memo1->hide();
    // For screen readers: the pictures by what they show, the list by its caption.
    Image4->setAccessibleName(QStringLiteral("水槽のプレビュー"));
    Image6->setAccessibleName(QStringLiteral("選んだアクセサリの絵"));
    FileListBox1->setAccessibleName(QStringLiteral("アクセサリ画像ファイル"));
    Memo1->setAccessibleName(QStringLiteral("配置の説明"));
    panel->setAccessibleName(QStringLiteral("指しているアクセサリ"));
    Refresh();
}

void AccessoryPage::Refresh()
{
    Image4->setPixmap(QPixmap::fromImage(m_state.View.TankPicture));
    Image5->setPixmap(QPixmap::fromImage(m_state.View.NumberStrip));
    if (FileListBox1->Directory() != m_state.AccessoryListFolder)
        FileListBox1->SetDirectory(m_state.AccessoryListFolder);
    const StatusPanel& status = m_canvas.Status();
    Label17->setText(status.Label17);
    Label19->setText(status.Label19);
    Label26->setText(status.Label26);
}

QString AccessoryPage::PreviewFile() const
{
    const QString name = FileListBox1->SelectedName();
    return name.isEmpty() ? QString()
                          : m_state.Doc.DataFolder + m_state.Doc.DataSubFolder + name;
}

void AccessoryPage::EndDrag()
{
    Guard(m_state.UserPrompts, [&] { m_canvas.EndDrag(); });
}

void AccessoryPage::Follow()
{
    Guard(m_state.UserPrompts, [&] { m_canvas.Follow(Image5->CursorShown()); });
    Refresh();
}

void AccessoryPage::FileListBox1Change()
{
    Image6->setPixmap(QPixmap::fromImage(MakePicture(161, 129, kBlack)));
    const QString name = FileListBox1->SelectedName();
    Guard(m_state.UserPrompts, [&] {
        Image6->setPixmap(QPixmap::fromImage(AccessoryPreview(m_state, name)));
    });
}

void AccessoryPage::Button11Click()
{
    const bool show = Memo1->isHidden();
    Memo1->setVisible(show);
    Button11->setText(show ? QStringLiteral("Help終了") : QStringLiteral("Help"));
}

} // namespace aquarium
