#include "ui/shell/live_view.h"

#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QToolButton>
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
    MuteButton = new QToolButton(this);
    MuteButton->setObjectName(QStringLiteral("MuteButton"));
    MuteButton->setText(QStringLiteral("消音"));
    MuteButton->setCheckable(true);
    MuteButton->setToolTip(QStringLiteral("音を消す / 出す"));
    MuteButton->setAccessibleName(QStringLiteral("消音"));
    MuteButton->setFocusPolicy(Qt::NoFocus); // Space stays the view's
    connect(MuteButton, &QToolButton::clicked, this, &LiveView::MuteButtonClick);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 2);
    layout->addWidget(Image1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 2, 0);
    bottom->addWidget(Label1, 1);
    bottom->addWidget(MuteButton);
    layout->addLayout(bottom);
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
    FollowSound();
    if (m_tank)
        ShowMissing();
}

void LiveView::MuteButtonClick()
{
    m_muted = MuteButton->isChecked();
    FollowSound();
    if (m_tank)
        ShowMissing();
}

void LiveView::FollowSound()
{
    const bool wanted = isVisible() && !m_paused && !m_muted && m_soundtrack;
    if (!wanted) {
        m_output.Stop();
        return;
    }
    if (m_output.Running() || m_noOutput)
        return;
    m_noOutput = !m_output.Start([this](qint16* stereo, qsizetype frames) {
        if (m_soundtrack)
            m_soundtrack->Render(stereo, frames);
        else
            std::fill(stereo, stereo + 2 * frames, qint16(0));
    });
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
    const quint64 seed = quint64(QDateTime::currentMSecsSinceEpoch());
    if (m_tank)
        m_tank->Update(m_state.FileSystem, m_state.Doc, screen, TankArea().size());
    else
        m_tank.emplace(m_state.FileSystem, m_state.Doc, screen, TankArea().size(), seed,
                       LiveTank::FishFrames::Later);
    // The soundtrack follows the edits as the picture does.
    const SoundtrackInputs sound = SoundtrackInputsOf(m_state.FileSystem, m_state.Doc,
                                                      m_state.MidiFolder, m_state.MidiList);
    if (m_soundtrack) {
        m_soundtrack->Update(m_state.FileSystem, sound);
    } else {
        if (!m_soundfont)
            m_soundfont = FindSoundfont(QDir::homePath());
        m_soundtrack.emplace(m_state.FileSystem, sound, seed, *m_soundfont);
    }
    m_dirty = false;
    FollowSound();
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
    QStringList unheard = m_soundtrack ? m_soundtrack->Unplayable() : QStringList();
    if (m_noOutput && !m_muted)
        unheard.prepend(kNoAudioOutputProblem);
    if (!unheard.isEmpty())
        text += QStringLiteral("  再生できないもの: ") + unheard.join(u", "_qs);
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
    FollowSound();
}

void LiveView::hideEvent(QHideEvent* event)
{
    Timer1.stop();
    m_output.Stop();
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
