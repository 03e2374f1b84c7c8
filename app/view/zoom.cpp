#include "app/view/zoom.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quendro::view {

double zoomStep(double zoom) {
    double best = 1.0;
    for (double step : kZoomSteps) {
        if (std::abs(step - zoom) < std::abs(best - zoom)) best = step;
    }
    return best;
}

double zoomIn(double zoom) {
    double at = zoomStep(zoom);
    for (double step : kZoomSteps) {
        if (step > at) return step;
    }
    return at;
}

double zoomOut(double zoom) {
    double at = zoomStep(zoom);
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it) {
        if (*it < at) return *it;
    }
    return at;
}

int zoomedPixels(int twips, double zoom) {
    return static_cast<int>(std::lround(twips * zoom / 15.0));
}

double fittingZoom(double wanted, const std::function<QSize(double)>& frameAt, QSize room) {
    double fits = kZoomSteps[0];
    for (double step : kZoomSteps) {
        if (step > zoomStep(wanted)) break;
        QSize frame = frameAt(step);
        if (frame.width() <= room.width() && frame.height() <= room.height()) fits = step;
    }
    return fits;
}

QPoint placeWindow(QSize frame, std::optional<QPoint> kept, const QRect& room) {
    QPoint at = kept.value_or(QPoint(room.left() + (room.width() - frame.width()) / 2,
                                     room.top() + (room.height() - frame.height()) / 2));
    // The last position at which the frame's far edge is still in the room.
    const int lastX = room.left() + room.width() - frame.width();
    const int lastY = room.top() + room.height() - frame.height();
    return {std::max(room.left(), std::min(at.x(), lastX)),
            std::max(room.top(), std::min(at.y(), lastY))};
}

PixelRect zoomedRect(const TwipRect& twips, double zoom) {
    return {zoomedPixels(twips.left, zoom), zoomedPixels(twips.top, zoom),
            zoomedPixels(twips.width, zoom), zoomedPixels(twips.height, zoom)};
}

}  // namespace quendro::view
