#include "core/preview/motion_player.h"

#include "core/platform/raster.h"

namespace aquarium {

MotionPlayer::MotionPlayer()
    : m_display(MakePicture(kPreviewDisplayWidth, kPreviewDisplayHeight, kBlack))
{
}

void MotionPlayer::Start(PreviewResult result)
{
    m_result = std::move(result);
    m_frameIndex = 0;
    FillRect(m_display, {0, 0, m_display.width(), m_display.height()}, kBlack);
    m_running = true;
}

void MotionPlayer::Release()
{
    m_running = false;
    m_result = PreviewResult();
}

int MotionPlayer::Tick(bool animLoop)
{
    const int count = std::max(m_result.AnimCount, 1);
    m_frameIndex = (m_frameIndex + 1) % count;
    int cell = m_frameIndex;
    if (animLoop && m_frameIndex > count / 2)
        cell = count - m_frameIndex;
    const int cw = m_result.CellWidth;
    const int ch = m_result.CellHeight;
    const bool inside = HasStrip() && cell >= 0 && cell < m_result.FrameCount;
    if (inside) {
        StretchCopy(m_display, {0, 0, cw, ch}, m_result.Strip, {cell * cw, 0, cell * cw + cw, ch});
    } else {
        FillRect(m_display, {0, 0, cw, ch}, kBlack);
        cell = -1;
    }
    return cell;
}

} // namespace aquarium
