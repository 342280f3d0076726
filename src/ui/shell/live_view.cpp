#include "ui/shell/live_view.h"

#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace aquarium {

LiveView::LiveView(AppState& state, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_state(state)
{
    setObjectName(QStringLiteral("LiveView"));
    setWindowTitle(kLiveViewTitle);
    Image1 = new QWidget(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMinimumSize(160, 120);
    Image1->setAttribute(Qt::WA_OpaquePaintEvent);
    Image1->installEventFilter(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 2);
    layout->addWidget(Image1, 1);
    layout->addWidget(Label1);
    resize(640, 480 + Label1->sizeHint().height() + 2);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1000 / kLiveTicksPerSecond);
    connect(&Timer1, &QTimer::timeout, this, &LiveView::Timer1Timer);
    OnUndoKeys(this, [this] { Q_EMIT UndoAsked(); }, [this] { Q_EMIT RedoAsked(); });
    OnKeys(this, QKeySequence(Qt::Key_Space), [this] { TogglePause(); });
    OnKeys(this, QKeySequence(Qt::Key_F11), [this] { ToggleFullScreen(); });
    OnKeys(this, QKeySequence(Qt::Key_Escape), [this] { Leave(); });
    Image1->setAccessibleName(QStringLiteral("水槽"));
    Label1->setAccessibleName(QStringLiteral("状態"));
}

void LiveView::Follow()
{
    m_dirty = true;
    const QString file = FileNamePart(m_state.CurrentFile);
    setWindowTitle(file.isEmpty() ? kLiveViewTitle : kLiveViewTitle + u" - "_qs + file);
    if (isVisible() && !Timer1.isActive() && !m_paused)
        Timer1.start(); // after a tank the memory could not hold
}

void LiveView::TogglePause()
{
    m_paused = !m_paused;
    if (m_paused)
        Timer1.stop();
    else if (isVisible())
        Timer1.start();
    if (m_tank)
        ShowMissing();
}

void LiveView::ToggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void LiveView::Leave()
{
    if (isFullScreen())
        showNormal();
    else
        close();
}

QRect LiveView::TankArea() const
{
    const QSize screen = m_state.Screen();
    const QSize fitted = screen.scaled(Image1->size(), Qt::KeepAspectRatio);
    return QRect(
        QPoint((Image1->width() - fitted.width()) / 2, (Image1->height() - fitted.height()) / 2),
        fitted.expandedTo(QSize(1, 1)));
}

void LiveView::MakeTank()
{
    const QSize screen = m_state.Screen();
    if (m_tank)
        m_tank->Update(m_state.FileSystem, m_state.Doc, screen, TankArea().size());
    else
        m_tank.emplace(m_state.FileSystem, m_state.Doc, screen, TankArea().size(),
            quint64(QDateTime::currentMSecsSinceEpoch()), LiveTank::FishFrames::Later);
    m_dirty = false;
    ShowMissing();
}

void LiveView::ShowMissing()
{
    const Aquarium& doc = m_state.Doc;
    int kinds = 0;
    for (const FishSlot& slot : doc.Fish)
        kinds += slot.CharacterName.isEmpty() ? 0 : 1;
    const QString file = FileNamePart(m_state.CurrentFile);
    QString text = (m_paused ? QStringLiteral("一時停止中: ") : QStringLiteral("再生中: "))
                   + (file.isEmpty() ? QStringLiteral("(名前なし)") : file)
                   + QStringLiteral("  熱帯魚 %1 種, アクセサリ %2")
                             .arg(kinds)
                             .arg(doc.LastObject + 1);
    const QStringList& missing = m_tank->Missing();
    if (!missing.isEmpty())
        text += QStringLiteral("  表示できないファイル: ") + missing.join(u", "_qs);
    Label1->setText(text);
}

void LiveView::Timer1Timer()
{
    // The fish's frames are made on a worker: the tank plays at once, each kind joins it
    // when its frames are there. What the memory cannot hold stops the view, not the
    // program, and says so in the status line.
    try {
        if (m_dirty || !m_tank || m_tank->Output() != TankArea().size())
            MakeTank();
        if (m_tank->TakeReadyFrames())
            ShowMissing();
        m_tank->Step();
        m_tank->Draw(m_frame);
    } catch (const PlatformError& error) {
        m_tank.reset();
        m_frame = QImage();
        Timer1.stop();
        Label1->setText(error.Text());
    }
    Image1->update();
}

void LiveView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The first time in the middle of the window it was opened from, then where it was.
    if (!m_placed) {
        const QWidget* from = QApplication::activeWindow();
        CentreOn(*this, from != this ? from : nullptr);
        m_placed = true;
    }
    m_dirty = true;
    m_paused = false;
    Timer1.start();
}

void LiveView::hideEvent(QHideEvent* event)
{
    Timer1.stop();
    QWidget::hideEvent(event);
}

bool LiveView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Image1)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Paint) {
        QPainter painter(Image1);
        painter.fillRect(Image1->rect(), Qt::black);
        if (!m_frame.isNull())
            painter.drawImage(TankArea().topLeft(), m_frame);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && m_tank) {
        // A click into the tank drops food there.
        const QRect area = TankArea();
        const QPointF at = static_cast<QMouseEvent*>(event)->position() - area.topLeft();
        if (at.x() >= 0 && at.x() < area.width())
            m_tank->DropFood(at.x() * m_tank->Screen().width() / area.width());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace aquarium
