#pragma once
// Keeping windows on the screen: a remembered geometry from a larger screen, or a panel placed
// beside a window that fills its screen, must still open where the operator can reach it.
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace core {

// What a window manager's frame adds to a window that has not been shown yet: the title bar,
// so it stays on the screen to be dragged. Side borders are a few pixels and may fall off.
inline constexpr int kFrameAllowanceWidth = 0;
inline constexpr int kFrameAllowanceHeight = 32;

// What the frame adds around `window` (one on the screen tells its own; others get the title
// bar's allowance), the same for every top-level window of the program.
inline QSize FrameAllowance(const QWidget& window) {
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (window.isVisible() && (frame.width() > 0 || frame.height() > 0)) return frame;
    return {kFrameAllowanceWidth, kFrameAllowanceHeight};
}

// `wanted` made no larger than `area` and moved into it by the least distance.
inline QRect FitInside(QRect wanted, const QRect& area) {
    if (area.isEmpty()) return wanted;
    wanted.setWidth(std::min(wanted.width(), area.width()));
    wanted.setHeight(std::min(wanted.height(), area.height()));
    if (wanted.right() > area.right()) wanted.moveRight(area.right());
    if (wanted.bottom() > area.bottom()) wanted.moveBottom(area.bottom());
    if (wanted.left() < area.left()) wanted.moveLeft(area.left());
    if (wanted.top() < area.top()) wanted.moveTop(area.top());
    return wanted;
}

// The available area (without panels and docks) of the screen that holds `point`, or of the
// nearest screen when no screen does.
inline QRect AvailableAreaAt(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) {
        int best = -1;
        for (QScreen* candidate : QGuiApplication::screens()) {
            const QRect area = candidate->availableGeometry();
            const QPoint inside(std::clamp(point.x(), area.left(), area.right()),
                                std::clamp(point.y(), area.top(), area.bottom()));
            const int distance = (inside - point).manhattanLength();
            if (best < 0 || distance < best) {
                best = distance;
                screen = candidate;
            }
        }
    }
    return screen ? screen->availableGeometry() : QRect();
}

// A window of outer size `size` beside `owner` (a frame rectangle): to its right when there is
// room on the owner's screen, else to its left, else at the screen's right edge over the owner.
inline QRect BesideOnSameScreen(const QRect& owner, const QSize& size, int gap, int down) {
    const QRect area = AvailableAreaAt(owner.center());
    QRect placed(QPoint(owner.right() + gap, owner.top() + down), size);
    if (!area.isEmpty() && placed.right() > area.right()) {
        placed.moveRight(owner.left() - gap);
        if (placed.left() < area.left()) placed.moveRight(area.right());
    }
    return FitInside(placed, area);
}

} // namespace core
