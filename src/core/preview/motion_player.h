#pragma once

#include "core/preview/render_preview.h"

#include <QImage>

namespace aquarium {

inline constexpr int kPreviewTickMs = 50;

// Plays a preview strip frame by frame: each tick advances the sequence position and
// shows its cell in the top-left corner of the 281 x 129 display. A position beyond the
// strip (the loop switched off after a looping render) shows black.
class MotionPlayer
{
public:
    MotionPlayer();

    // Takes a new strip; the position goes to 0, the display turns black, and it runs.
    void Start(PreviewResult result);
    // Stops the timer; the display keeps its frame.
    void Stop() { m_running = false; }
    // The editor was closed: the strip is gone.
    void Release();

    // One timer tick. Returns the cell shown, or -1 for black.
    int Tick(bool animLoop);

    [[nodiscard]] bool Running() const { return m_running; }
    [[nodiscard]] bool HasStrip() const { return !m_result.Strip.isNull(); }
    [[nodiscard]] const QImage& Display() const { return m_display; }
    [[nodiscard]] const PreviewResult& Result() const { return m_result; }
    [[nodiscard]] int FrameIndex() const { return m_frameIndex; }
    // The sequence length the frame-count bar set while stopped, or the render's.
    void SetAnimCount(int count) { m_result.AnimCount = std::max(count, 1); }

private:
    PreviewResult m_result;
    QImage m_display;
    int m_frameIndex = 0;
    bool m_running = false;
};

} // namespace aquarium
