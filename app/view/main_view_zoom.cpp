// The window scales as one: every control at its twips times the zoom.
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
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

void MainView::addZoomKeys() {
    auto add = [this](QKeySequence keys, auto action) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    // The window grows no larger than its screen.
    auto in = [this] {
        QSize next = sizeAt(zoomIn(zoom_));
        QScreen* at = screen();
        if (at && (next.width() > at->availableGeometry().width() ||
                   next.height() > at->availableGeometry().height()))
            return;
        setZoom(zoomIn(zoom_));
    };
    auto out = [this] { setZoom(zoomOut(zoom_)); };
    auto onScreen = [this] {
        // A window that grew past the screen's edge moves back onto it.
        QScreen* at = screen();
        if (!at || !isVisible()) return;
        QRect room = at->availableGeometry();
        QRect frame = frameGeometry();
        int dx = std::min(0, room.right() - frame.right());
        int dy = std::min(0, room.bottom() - frame.bottom());
        if (dx || dy) move(std::max(room.left(), x() + dx), std::max(room.top(), y() + dy));
    };
    auto inOnScreen = [in, onScreen] {
        in();
        onScreen();
    };
    add(QKeySequence::ZoomIn, inOnScreen);
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), inOnScreen);
    add(QKeySequence(Qt::CTRL | Qt::Key_Semicolon), inOnScreen);  // "+" on a Japanese keyboard
    add(QKeySequence::ZoomOut, out);
    add(QKeySequence(Qt::CTRL | Qt::Key_0), [this, onScreen] {
        setZoom(1.0);
        onScreen();
    });
}

}  // namespace quendro::view
