#include "gui/saver_window.h"

#include "core/platform/files.h"
#include "core/platform/platform_error.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>

namespace aquarium {

namespace {

// A move of the pointer farther than this ends a screen saver run by itself; smaller ones
// are the jitter of a desk.
constexpr double kMoveThatEnds = 8;

} // namespace

SaverWindow::SaverWindow(const Files& files, Ending ending, QWindow* parent)
    : QRasterWindow(parent), m_files(files), m_ending(ending)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SaverWindow::Tick);
    m_hostWatch.setInterval(1000);
    connect(&m_hostWatch, &QTimer::timeout, this, [this] {
        const QSize host = ForeignWindowSize(m_host);
        if (!host.isEmpty() && host != size())
            resize(host); // resizeEvent makes the scene anew
    });
}

void SaverWindow::FollowHost(WId id)
{
    m_host = id;
    const QSize host = ForeignWindowSize(id);
    if (!host.isEmpty())
        setGeometry(QRect(QPoint(0, 0), host));
    m_hostWatch.start();
}

void SaverWindow::Play(const Aquarium& doc, std::uint64_t seed)
{
    m_doc = doc;
    m_seed = seed;
    m_tank.reset();
    MakeTank();
}

void SaverWindow::Clear()
{
    m_doc.reset();
    m_tank.reset();
    m_timer.stop();
    m_frame = QImage();
    update();
}

void SaverWindow::MakeTank()
{
    if (!m_doc || size().isEmpty())
        return;
    // The screen is the window: the aquarium as the screen saver shows it on this display.
    try {
        if (m_tank)
            m_tank->Update(m_files, *m_doc, size(), size());
        else
            m_tank.emplace(m_files, *m_doc, size(), size(), m_seed, LiveTank::FishFrames::Later);
    } catch (const PlatformError&) {
        Clear(); // a display too large for the memory there is: black, and no message
        return;
    }
    m_clock.start();
    const qreal rate = screen() ? screen()->refreshRate() : 60;
    m_timer.start(int(std::max(1.0, std::floor(1000.0 / std::clamp(rate, 20.0, 240.0)))));
    Tick();
}

void SaverWindow::Tick()
{
    if (!m_tank)
        return;
    m_tank->TakeReadyFrames();
    // The model stands at the tick after the time now, the frame between it and the one
    // before. A long stall (a suspended machine) skips ahead instead of racing.
    const qint64 ms = m_clock.elapsed();
    const qint64 due = ms / 50 + 1;
    if (due - m_tank->Tick() > 10)
        m_clock.restart();
    else {
        while (m_tank->Tick() < due)
            m_tank->Step();
    }
    const double between = m_tank->Tick() == ms / 50 + 1 ? double(ms % 50) / 50.0 : 1.0;
    try {
        m_tank->DrawBetween(m_frame, between, m_changed);
    } catch (const PlatformError&) {
        Clear();
        return;
    }
    QRegion region;
    for (const QRect& r : m_changed)
        region += r;
    update(region);
}

void SaverWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_frame.isNull()) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : event->region())
        painter.drawImage(r, m_frame, r);
}

void SaverWindow::resizeEvent(QResizeEvent* event)
{
    QRasterWindow::resizeEvent(event);
    if (m_tank)
        MakeTank();
}

void SaverWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_ending != Ending::Never)
        Q_EMIT InputSeen();
    QRasterWindow::keyPressEvent(event);
}

void SaverWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_ending != Ending::Never)
        Q_EMIT InputSeen();
    QRasterWindow::mousePressEvent(event);
}

void SaverWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->globalPosition();
    if (!m_pointer)
        m_pointer = at;
    else if (m_ending == Ending::AnyInput && std::hypot(at.x() - m_pointer->x(), at.y() - m_pointer->y()) > kMoveThatEnds)
        Q_EMIT InputSeen();
    QRasterWindow::mouseMoveEvent(event);
}

QSize ForeignWindowSize(WId id)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !id)
        return QSize();
    xcb_connection_t* connection = x11->connection();
    xcb_get_geometry_reply_t* reply =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xcb_drawable_t(id)), nullptr);
    if (!reply)
        return QSize();
    const QSize size(reply->width, reply->height);
    free(reply);
    return size;
}

WId RootWindowId()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return 0;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x11->connection())).data;
    return screen ? WId(screen->root) : 0;
}

} // namespace aquarium
