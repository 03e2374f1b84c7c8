// The window scales as one: every control at its twips times the zoom.
#include <QKeySequence>
#include <QLabel>
#include <QMoveEvent>
#include <QScreen>
#include <QShortcut>
#include <cmath>

#include "app/view/main_view.h"
#include "app/view/window_style.h"
#include "app/view/zoom.h"

namespace quendro::view {
namespace {

QFont qfont(const FontSpec& face, double zoom) {
    QFont font(QString::fromStdU16String(face.name));
    font.setPointSizeF(face.points * zoom);
    font.setBold(face.bold);
    return font;
}

}  // namespace

QSize MainView::sizeAt(double zoom) const {
    return {zoomedPixels(model_.clientArea.width, zoom),
            zoomedPixels(model_.clientArea.height, zoom) +
                static_cast<int>(std::lround(kStatusHeight * zoom))};
}

// Every control at its twips times the zoom, with its font scaled alike.
void MainView::placeWidgets() {
    style_->setZoom(zoom_);
    int width = zoomedPixels(model_.clientArea.width, zoom_);
    int height = zoomedPixels(model_.clientArea.height, zoom_);
    int statusHeight = sizeAt(zoom_).height() - height;
    setFont(qfont(model_.font, zoom_));
    setFixedSize(sizeAt(zoom_));
    for (const Binding& b : bindings_) {
        PixelRect r = zoomedRect(b.control->position, zoom_);
        b.widget->setGeometry(r.left, r.top, r.width, r.height);
        b.widget->setFont(qfont(b.control->font, zoom_));
    }
    status_->setGeometry(0, height, width, statusHeight);
    status_->setFont(qfont(model_.font, zoom_));
    showStatus(statusWords_);
}

void MainView::setZoom(double zoom) {
    zoom = zoomStep(zoom);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    placeWidgets();
    if (onZoomChanged) onZoomChanged(zoom_);
}

QSize MainView::frameAt(double zoom) const {
    return sizeAt(zoom) + (frameGeometry().size() - size());
}

void MainView::fitInto(const QRect& room, double wanted, std::optional<QPoint> kept) {
    auto frame = [this](double zoom) { return frameAt(zoom); };
    setZoom(fittingZoom(wanted, frame, room.size()));
    move(placeWindow(frameAt(zoom_), kept, room));
}

// The window system gave the window its title bar (or another one) after it
// was placed: it is fitted again with the bar, where it stands.
void MainView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    QSize frame = frameGeometry().size() - size();
    if (frame == frameSeen_) return;
    frameSeen_ = frame;
    if (QScreen* at = screen(); at && isVisible()) fitInto(at->availableGeometry(), zoom_, pos());
}

void MainView::addZoomKeys() {
    // Each step keeps the whole window on the screen it stands on: a step
    // that would not fit is not taken, and one that reaches past an edge
    // moves the window back.
    auto add = [this](QKeySequence keys, double (*next)(double)) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, next] {
            if (QScreen* at = screen()) {
                fitInto(at->availableGeometry(), next(zoom_), pos());
            } else {
                setZoom(next(zoom_));
            }
        });
    };
    add(QKeySequence::ZoomIn, zoomIn);
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), zoomIn);
    add(QKeySequence(Qt::CTRL | Qt::Key_Semicolon), zoomIn);  // "+" on a Japanese keyboard
    add(QKeySequence::ZoomOut, zoomOut);
    add(QKeySequence(Qt::CTRL | Qt::Key_0), [](double) { return 1.0; });
}

}  // namespace quendro::view
