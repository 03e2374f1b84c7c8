// The analysis window's chart saved as a picture, with its title above it.
#include "app/view/lap_analysis_window.h"

#include <QChartView>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "app/chart_naming.h"
#include "app/swim_reading.h"

namespace quendro::view {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString LapAnalysisWindow::chartTitleText() const {
    if (!swim_) return {};
    MeetCompetitors competitors(model_, files_);
    return qt(chartTitle(competitors.competitor(swim_->ordinal).competitorName, *swim_,
                         model_.txtNa.text()));
}

QString LapAnalysisWindow::suggestedChartPath() const {
    const std::u16string path = chartFolder(model_) + chartFileName(chartTitleText().toStdU16String());
    const std::u16string host = files_.whereOnMachine(path);
    return qt(host.empty() ? chartFileName(chartTitleText().toStdU16String()) : host);
}

bool LapAnalysisWindow::saveChart(const QString& path) {
    // The chart with its title in a band above it, so that the picture says
    // whose swim it shows.
    const QPixmap chart = chartView_->grab();
    const qreal ratio = chart.devicePixelRatio();
    const int width = static_cast<int>(chart.width() / ratio);
    QFont font = title_->font();
    const int band = QFontMetrics(font).height() + 16;
    QImage image(QSize(width, static_cast<int>(chart.height() / ratio) + band) * ratio,
                 QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(8, 0, width - 16, band), Qt::AlignVCenter | Qt::AlignLeft,
                         chartTitleText());
        painter.drawPixmap(0, band, chart);
    }
    bool saved = image.save(path, "PNG");
    status_->setText(saved ? QStringLiteral("グラフを保存しました: %1").arg(path)
                           : QStringLiteral("グラフを保存できませんでした: %1").arg(path));
    return saved;
}

void LapAnalysisWindow::askAndSaveChart() {
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("グラフを保存"), suggestedChartPath(),
                                     QStringLiteral("PNG 画像 (*.png)"));
    if (!path.isEmpty()) saveChart(path);
}

}  // namespace quendro::view
