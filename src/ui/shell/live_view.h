#pragma once

#include "core/live/live_tank.h"
#include "core/live/soundtrack.h"
#include "gui/sound_output.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QLabel;
class QToolButton;

namespace aquarium {

struct AppState;

// "水槽の動作プレビュー": the composed tank, playing at 20 ticks a second, drawn at the
// resolution of ComboBox1 scaled to fit the window. Modeless; it follows every edit of the
// state. A click into the tank drops food. Files it cannot show are named once in its
// status line, after what it plays. The fish's frames are made off the user-interface
// thread. Space pauses and goes on, F11 fills the screen, Escape leaves the full screen,
// then closes. It opens where it was last. It plays the aquarium's soundtrack (the sound
// and the MIDI list) through the default output; MuteButton silences it for the run.
class LiveView : public QWidget
{
    Q_OBJECT
public:
    explicit LiveView(AppState& state, QWidget* parent = nullptr);

    // The state changed: the tank is made anew at the next tick (fish keep their places).
    void Follow();
    // One tick of the tank, then the picture.
    void Timer1Timer();
    void TogglePause();      // Space
    void ToggleFullScreen(); // F11
    void Leave();            // Escape
    void MuteButtonClick();
    [[nodiscard]] bool Paused() const { return m_paused; }
    [[nodiscard]] const Soundtrack* Sound() const { return m_soundtrack ? &*m_soundtrack : nullptr; }

    [[nodiscard]] const LiveTank* Tank() const { return m_tank ? &*m_tank : nullptr; }

Q_SIGNALS:
    // Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y in the view: the main window's edits.
    void UndoAsked();
    void RedoAsked();

public:
    QWidget* Image1 = nullptr; // the tank
    QLabel* Label1 = nullptr; // the status line
    QToolButton* MuteButton = nullptr;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the tank is drawn in Image1: the screen's proportions, as large as it fits.
    [[nodiscard]] QRect TankArea() const;
    void MakeTank();
    // What it plays (the aquarium file, its fish and accessories) and the files the tank
    // could not show, in the status line.
    void ShowMissing();
    // The soundtrack plays while the view shows, runs, and is not muted.
    void FollowSound();

    AppState& m_state;
    std::optional<LiveTank> m_tank;
    QImage m_frame;
    bool m_dirty = true;
    bool m_paused = false;
    std::optional<Soundtrack> m_soundtrack;
    SoundOutput m_output;
    std::optional<QString> m_soundfont; // looked for once
    bool m_muted = false;
    bool m_noOutput = false; // the output was asked for and there was none
    bool m_placed = false; // shown once: later it opens where it was
};

inline const QString kLiveViewTitle = QStringLiteral("水槽の動作プレビュー");

} // namespace aquarium
