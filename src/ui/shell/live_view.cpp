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
}

void LiveView::Follow()
{
    m_dirty = true;
    if (isVisible() && !Timer1.isActive())
        Timer1.start(); // after a tank the memory could not hold
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
    const QStringList& missing = m_tank->Missing();
    Label1->setText(missing.isEmpty()
            ? QString()
            : QStringLiteral("表示できないファイル: ") + missing.join(u", "_qs));
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
    const QWidget* from = QApplication::activeWindow();
    CentreOn(*this, from != this ? from : nullptr);
    m_dirty = true;
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
