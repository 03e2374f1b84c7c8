#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

#include "platform/controls.h"

namespace quendro::view {

// The window scales as one: every control at its twips times the zoom, 15
// twips to a pixel, its font by the same factor.
inline constexpr double kZoomSteps[] = {0.5, 0.6,  0.7, 0.75, 0.8, 0.9, 1.0,
                                        1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// The next step up or down from zoom (the last step stays).
double zoomIn(double zoom);
double zoomOut(double zoom);
// The step nearest to zoom, so that a remembered value is always a step.
double zoomStep(double zoom);
// The largest step, no larger than wanted, at which the window fits the room
// (frameAt gives its size at a step); the smallest step when none fits.
double fittingZoom(double wanted, const std::function<QSize(double)>& frameAt, QSize room);

// Where the top left of a window's frame (title bar and borders included, when
// the window has them) goes so that all of the frame lies in the room, the
// screen less its panels: the kept position, moved just far enough onto the
// room; the room's middle when none is kept. A frame larger than the room
// keeps to its top left, where the title bar is.
QPoint placeWindow(QSize frame, std::optional<QPoint> kept, const QRect& room);

// Pixels of a length in twips at a zoom.
int zoomedPixels(int twips, double zoom);

struct PixelRect {
    int left, top, width, height;
};
PixelRect zoomedRect(const TwipRect& twips, double zoom);

}  // namespace quendro::view
