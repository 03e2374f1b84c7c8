#include "platform/qt_print/poster_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace quendro {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Device units are points (72 to the inch): the page is 595 x 842.
QFont face(double points, bool bold) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

std::optional<std::string> posterPdf(const PosterText& text, const QrMatrix& code) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setTitle(qt(text.meetName));
        pdf.setCreator(QStringLiteral("quendro-poster"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        QPainter paint;
        if (!paint.begin(&pdf)) return std::nullopt;
        const double width = 595, margin = 48, inner = width - 2 * margin;
        double y = 56;
        auto block = [&](std::u16string_view words, double points, bool bold, double height) {
            paint.setFont(face(points, bold));
            QRectF room(margin, y, inner, height);
            paint.drawText(room, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, qt(words));
            y += height;
        };
        block(text.heading, 22, false, 40);
        block(text.meetName, 30, true, 92);
        block(text.when, 16, false, 26);
        block(text.venue, 16, false, 34);

        // The code with a quiet zone of four modules each side, in whole
        // points per module so that every module has the same size.
        const int modules = code.size + 8;
        const double cell = std::floor(360.0 / modules);
        const double side = cell * modules;
        const double left = (width - side) / 2;
        paint.fillRect(QRectF(left, y, side, side), Qt::white);
        for (int row = 0; row < code.size; ++row)
            for (int column = 0; column < code.size; ++column)
                if (code.at(column, row))
                    paint.fillRect(QRectF(left + (column + 4) * cell, y + (row + 4) * cell, cell, cell),
                                   Qt::black);
        y += side + 12;
        paint.setFont(face(14, true));
        paint.drawText(QRectF(margin, y, inner, 44), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere,
                       QString::fromUtf8(text.address.data(), static_cast<qsizetype>(text.address.size())));
        y += 56;
        block(text.guide, 13, false, 80);
        if (!paint.end()) return std::nullopt;
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quendro
