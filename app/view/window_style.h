#pragma once

#include <QProxyStyle>

namespace quendro::view {

// The look of the window's controls: the desktop's own style, with the small
// option and check marks of the window's layout (so that " 100m" and "200m"
// show whole beside them), everything scaled by the window's zoom, and a
// visible frame around the list that has the focus.
class WindowStyle : public QProxyStyle {
  public:
    WindowStyle();
    void setZoom(double zoom) { zoom_ = zoom; }
    double zoom() const { return zoom_; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

  private:
    double zoom_ = 1.0;
};

}  // namespace quendro::view
