#include "app/view/window_style.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <cmath>

namespace quendro::view {
namespace {

constexpr int kMarkSize = 12;  // an option or check mark, pixels at zoom 1
constexpr int kMarkSpace = 3;  // between the mark and its caption
constexpr int kListFrame = 2;  // a list's frame

}  // namespace

WindowStyle::WindowStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int WindowStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    auto scaled = [this](int pixels) {
        return std::max(1, static_cast<int>(std::lround(pixels * zoom_)));
    };
    switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight: return scaled(kMarkSize);
        case PM_RadioButtonLabelSpacing:
        case PM_CheckBoxLabelSpacing: return scaled(kMarkSpace);
        case PM_DefaultFrameWidth:
            // Room for the focus frame of a list.
            if (qobject_cast<const QAbstractItemView*>(widget)) return scaled(kListFrame);
            return QProxyStyle::pixelMetric(metric, option, widget);
        default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QRect WindowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl sub, const QWidget* widget) const {
    QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_GroupBox || sub != SC_GroupBoxLabel) return rect;
    // A frame's caption gets the width its font needs.
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (!box) return rect;
    int needed = option->fontMetrics.horizontalAdvance(box->text) + 2;
    if (rect.width() < needed) rect.setWidth(needed);
    return rect;
}

void WindowStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_ShapedFrame || !qobject_cast<const QAbstractItemView*>(widget)) return;
    if (!(option->state & State_HasFocus)) return;
    // The list that has the focus is framed in the highlight colour.
    int width = pixelMetric(PM_DefaultFrameWidth, option, widget);
    painter->save();
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), width));
    painter->setBrush(Qt::NoBrush);
    QRectF frame =
        QRectF(option->rect).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0);
    painter->drawRect(frame);
    painter->restore();
}

}  // namespace quendro::view
