#pragma once

#include <QLabel>
#include <QStringList>

class QFontMetrics;

namespace quendro::view {

// Where a caption is drawn in its box: the painter moves to origin and scales
// by sx, sy; line i then sits on the baseline ascent + i × line spacing.
struct CaptionPlacement {
    QPointF origin;
    double sx = 1.0;
    double sy = 1.0;
};

// The ink of the lines where they fall before placement: from the top left of
// the first line's cell, each line one line spacing under the one before.
QRectF captionInk(const QFontMetrics& metrics, const QStringList& lines);

// A caption sits at the box's top left, as a label's text does, unless its ink
// would reach past the box: then it moves, by whole pixels, just far enough
// that its ink fits, and a caption whose ink is larger than the box (a label
// shorter than a line of its font) is drawn just that much smaller.
CaptionPlacement placeCaption(const QFontMetrics& metrics, const QStringList& lines, QSize box);

// A label of the window. Its caption is drawn so that all of its ink shows
// inside the control's box; a carriage return breaks it into lines.
class CaptionLabel : public QLabel {
  public:
    CaptionLabel() { setTextFormat(Qt::PlainText); }
    QStringList lines() const;
    // The part of the box that no control in front of the label covers at an
    // edge ("-->" ends under the second date box): the caption fits in it.
    QRect room() const;
    // Where the caption is drawn in room().
    CaptionPlacement placement() const;
    // A label whose neighbour's text may begin right at its right edge (the
    // lap grid: "10:10.2810:27.66") keeps a blank's width of room free there,
    // and its whole text, not only its ink, keeps within the room.
    void setGapBeforeNext(bool on) { gapBeforeNext_ = on; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool gapBeforeNext_ = false;
};

}  // namespace quendro::view
