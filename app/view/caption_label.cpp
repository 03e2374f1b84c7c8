#include "app/view/caption_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quendro::view {

QRectF captionInk(const QFontMetrics& metrics, const QStringList& lines) {
    QRectF ink;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        QRectF line = metrics.tightBoundingRect(lines[i]);
        line.translate(0, metrics.ascent() + i * metrics.lineSpacing());
        ink = ink.isNull() ? line : ink.united(line);
    }
    return ink;
}

namespace {

// The move (and, when the ink is too large, the scale) along one side of the box.
void fit(double inkStart, double inkEnd, double room, double& shift, double& scale) {
    shift = 0;
    scale = 1;
    double size = inkEnd - inkStart;
    if (size > room) {
        scale = room / size;
        shift = -inkStart * scale;
        return;
    }
    if (inkEnd > room) shift = std::floor(room - inkEnd);
    if (inkStart + shift < 0) shift = std::ceil(-inkStart);
}

}  // namespace

CaptionPlacement placeCaption(const QFontMetrics& metrics, const QStringList& lines, QSize box) {
    CaptionPlacement placement;
    QRectF ink = captionInk(metrics, lines);
    if (ink.isNull()) return placement;
    double dx = 0;
    double dy = 0;
    fit(ink.left(), ink.right(), box.width(), dx, placement.sx);
    fit(ink.top(), ink.bottom(), box.height(), dy, placement.sy);
    placement.origin = QPointF(dx, dy);
    return placement;
}

QRect CaptionLabel::room() const {
    QRect free = rect();
    if (!parentWidget()) return free;
    const QObjectList& siblings = parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<CaptionLabel*>(this)) + 1; i < siblings.size();
         ++i) {
        // A window of its own that the main window owns (the lap analysis, a
        // dialog) lies over no control of it: its geometry is on the screen.
        auto* other = qobject_cast<QWidget*>(siblings[i]);
        if (!other || other->isHidden() || other->isWindow()) continue;
        QRect cover = other->geometry().translated(-pos()).intersected(free);
        if (cover.isEmpty()) continue;
        bool fullHeight = cover.top() <= free.top() && cover.bottom() >= free.bottom();
        bool fullWidth = cover.left() <= free.left() && cover.right() >= free.right();
        if (fullHeight && cover.right() >= free.right())
            free.setRight(cover.left() - 1);
        else if (fullHeight && cover.left() <= free.left())
            free.setLeft(cover.right() + 1);
        else if (fullWidth && cover.bottom() >= free.bottom())
            free.setBottom(cover.top() - 1);
        else if (fullWidth && cover.top() <= free.top())
            free.setTop(cover.bottom() + 1);
    }
    // A blank, as a shorter time has before it: a time that fills its eight
    // characters is squeezed that much rather than run into the next cell's.
    if (gapBeforeNext_) free.setRight(free.right() - std::max(1, fontMetrics().horizontalAdvance(u' ')));
    return free;
}

QStringList CaptionLabel::lines() const {
    return text().split(QChar(u'\n'));
}

CaptionPlacement CaptionLabel::placement() const {
    QFontMetrics metrics(font());
    const QStringList all = lines();
    const QRect free = room();
    CaptionPlacement at = placeCaption(metrics, all, free.size());
    if (gapBeforeNext_) {
        // A time ending in a narrow digit has ink short of its end: it is the
        // text's advance that must not run into the next cell.
        int advance = 0;
        for (const QString& line : all) advance = std::max(advance, metrics.horizontalAdvance(line));
        if (advance > free.width() && free.width() > 0) {
            double scale = static_cast<double>(free.width()) / advance;
            if (scale < at.sx) {
                at.sx = scale;
                at.origin.setX(0);
            }
        }
    }
    return at;
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QStringList all = lines();
    QFontMetrics metrics(font());
    QRect free = room();
    CaptionPlacement at = placement();
    QPainter painter(this);
    painter.translate(free.topLeft());
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.translate(at.origin);
    painter.scale(at.sx, at.sy);
    for (int i = 0; i < all.size(); ++i)
        painter.drawText(QPointF(0, metrics.ascent() + i * metrics.lineSpacing()), all[i]);
}

}  // namespace quendro::view
