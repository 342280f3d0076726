#pragma once

#include "core/live/live_tank.h"

#include <QElapsedTimer>
#include <QRasterWindow>
#include <QTimer>

#include <optional>
#include <vector>

namespace aquarium {

class Files;

// One screen's part of the screen saver: the aquarium playing, drawn at the display's
// refresh rate with every fish, bubble and swaying accessory placed between its positions
// of the model's last two ticks (the model keeps its 20 ticks a second), and drawn only
// where something moved. Made for its own size; it follows the window it lives in.
class SaverWindow : public QRasterWindow
{
    Q_OBJECT
public:
    // What input ends it (InputSeen): none (the host's business), keys and clicks (a
    // window of its own), or those and a move of the pointer of more than a few pixels
    // (the screen saver run by itself).
    enum class Ending { Never, KeysAndClicks, AnyInput };
    SaverWindow(const Files& files, Ending ending, QWindow* parent = nullptr);

    // Plays doc from now on (the scene made for the window's size); nothing: black.
    void Play(const Aquarium& doc, std::uint64_t seed);
    void Clear();
    [[nodiscard]] const LiveTank* Tank() const { return m_tank ? &*m_tank : nullptr; }
    // The frame as last drawn.
    [[nodiscard]] const QImage& Frame() const { return m_frame; }
    // Lives in the X window id (XScreenSaver's, or the root): takes its size, now and
    // whenever it changes.
    void FollowHost(WId id);

Q_SIGNALS:
    void InputSeen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Tick();
    void MakeTank();

    const Files& m_files;
    Ending m_ending;
    std::optional<Aquarium> m_doc;
    std::uint64_t m_seed = 1;
    std::optional<LiveTank> m_tank;
    QImage m_frame;
    std::vector<QRect> m_changed;
    QElapsedTimer m_clock; // since the tank's tick 0
    QTimer m_timer;
    std::optional<QPointF> m_pointer; // where the pointer was first seen
    WId m_host = 0;
    QTimer m_hostWatch;
};

// The root window of the X display the program runs on; 0 when it runs on another kind of
// display.
[[nodiscard]] WId RootWindowId();
// The size of an X window by its id, asked of the X server; empty when there is none.
[[nodiscard]] QSize ForeignWindowSize(WId id);

} // namespace aquarium
