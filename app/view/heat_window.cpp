#include "app/view/heat_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/swim_reading.h"
#include "laps/code_tables.h"
#include "laps/heat_places.h"
#include "platform/text_rules.h"

namespace quendro::view {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kLeader(255, 226, 140);

}  // namespace

HeatWindow::HeatWindow(MainWindow& model, FileSystem& files, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), files_(files) {
    setWindowTitle(QStringLiteral("組の途中順位"));
    setObjectName(QStringLiteral("heatSplits"));
    resize(960, 560);
    title_ = new QLabel;
    title_->setObjectName(QStringLiteral("heatTitle"));
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title_->setFont(bold);
    table_ = new QTableWidget;
    table_->setObjectName(QStringLiteral("heatTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setMinimumSectionSize(96);
    auto* legend = new QLabel(QStringLiteral(
        "各欄: 通過タイム と "
        "その時点の順位（同タイムは同順位）、下の段はラップ。色付き太字はその通過のトップ。"));
    legend->setWordWrap(true);
    status_ = new QLabel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(table_, 1);
    layout->addWidget(legend);
    layout->addWidget(status_);
}

void HeatWindow::showHeatOf(const MeetSwim& swim) {
    std::vector<MeetSwim> lanes;
    for (const MeetSwim& s : meetSwims(model_)) {
        if (s.heat == swim.heat) lanes.push_back(s);
    }
    std::sort(lanes.begin(), lanes.end(),
              [](const MeetSwim& a, const MeetSwim& b) { return a.lane < b.lane; });
    title_->setText(
        qt(eventFullName(swim.eventCode) + u" " + chMt(swim.stageCode) + u"  組 " + swim.heat));

    auto text = heatLapText(model_, files_, swim.heat);
    status_->setText(text ? QString() : QStringLiteral("この組のラップファイルを読めませんでした"));
    MeetCompetitors competitors(model_, files_);
    std::vector<std::vector<std::optional<int>>> times;
    for (const MeetSwim& lane : lanes) {
        SwimSplits splits = text ? swimSplitsFrom(model_, lane, *text) : SwimSplits{};
        splits.finalTime = lane.finalTime();
        times.push_back(placingTimes(splits));
    }
    const HeatPlaces places = heatPlaces(times);

    table_->clear();
    table_->setColumnCount(static_cast<int>(lanes.size()));
    table_->setRowCount(places.splits + 1);
    QStringList heading;
    for (size_t l = 0; l < lanes.size(); ++l) {
        heading << QStringLiteral("%1コース\n%2")
                       .arg(lanes[l].lane + 1)
                       .arg(qt(trimmed(competitors.competitor(lanes[l].ordinal).competitorName)));
    }
    table_->setHorizontalHeaderLabels(heading);
    QStringList rows;
    for (int k = 0; k < places.splits; ++k) {
        rows << QStringLiteral("%1m").arg((k + 1) * model_.splitDistance);
    }
    rows << QStringLiteral("記録");
    table_->setVerticalHeaderLabels(rows);

    for (size_t l = 0; l < lanes.size(); ++l) {
        const auto& lane = times[l];
        for (size_t k = 0; k < static_cast<size_t>(places.splits); ++k) {
            if (k >= lane.size() || !lane[k]) continue;
            QString cell = qt(secondsText(*lane[k]));
            if (places.places[l][k]) cell += QStringLiteral("  %1位").arg(*places.places[l][k]);
            if (const auto& lap = places.laps[l][k])
                cell += QStringLiteral("\n") + qt(secondsText(*lap));
            auto* item = new QTableWidgetItem(cell);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (places.leads[l][k]) {
                item->setBackground(kLeader);
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            table_->setItem(static_cast<int>(k), static_cast<int>(l), item);
        }
        auto* final = new QTableWidgetItem(qt(trimmed(lanes[l].finalTime())));
        final->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (lanes[l] == swim) {
            QFont font = final->font();
            font.setBold(true);
            final->setFont(font);
        }
        table_->setItem(places.splits, static_cast<int>(l), final);
    }
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
}

}  // namespace quendro::view
