#include "app/view/zoom.h"

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

double fittingZoom(double wanted, int width, int height, int roomWidth, int roomHeight) {
    double fits = kZoomSteps[0];
    for (double step : kZoomSteps) {
        if (step > zoomStep(wanted)) break;
        if (std::lround(width * step) <= roomWidth && std::lround(height * step) <= roomHeight)
            fits = step;
    }
    return fits;
}

PixelRect zoomedRect(const TwipRect& twips, double zoom) {
    return {zoomedPixels(twips.left, zoom), zoomedPixels(twips.top, zoom),
            zoomedPixels(twips.width, zoom), zoomedPixels(twips.height, zoom)};
}

}  // namespace quendro::view
