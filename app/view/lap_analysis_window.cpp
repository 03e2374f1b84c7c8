#include "app/view/lap_analysis_window.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/swim_reading.h"
#include "app/view/heat_window.h"
#include "laps/pace_table.h"
#include "laps/swim_compare.h"

namespace quendro::view {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kLapColour(70, 110, 170);
const QColor kFastColour(40, 150, 70);
const QColor kSlowColour(200, 60, 50);
const QColor kStartColour(150, 160, 175);
const QColor kMeanColour(90, 90, 90);
const QColor kOtherColour(230, 140, 20);

// Who swam it and what: "山田太郎 100m自由形 予選 1:05.32".
std::u16string swimLabel(const MeetCompetitors& competitors, const MeetSwim& swim) {
    return trimmed(competitors.competitor(swim.ordinal).competitorName) + u" " + swim.title();
}

}  // namespace

LapAnalysisWindow::LapAnalysisWindow(MainWindow& model, FileSystem& files, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), files_(files) {
    setWindowTitle(QStringLiteral("ラップ分析"));
    setObjectName(QStringLiteral("lapAnalysis"));
    resize(920, 680);

    title_ = new QLabel;
    title_->setObjectName(QStringLiteral("analysisTitle"));
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title_->setFont(bold);

    compare_ = new QComboBox;
    compare_->setObjectName(QStringLiteral("compare"));
    compare_->setMinimumWidth(360);
    connect(compare_, &QComboBox::activated, this, [this](int index) { compareWith(index); });
    auto* heatButton = new QPushButton(QStringLiteral("組の途中順位"));
    connect(heatButton, &QPushButton::clicked, this, [this] { showHeat(); });
    auto* copyButton = new QPushButton(QStringLiteral("表をコピー"));
    connect(copyButton, &QPushButton::clicked, this, [this] { copyTable(); });
    auto* saveButton = new QPushButton(QStringLiteral("グラフを保存…"));
    connect(saveButton, &QPushButton::clicked, this, [this] { askAndSaveChart(); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("比較:")));
    bar->addWidget(compare_, 1);
    bar->addWidget(heatButton);
    bar->addWidget(copyButton);
    bar->addWidget(saveButton);

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chartView_ = new QChartView(chart_);
    chartView_->setObjectName(QStringLiteral("lapChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(300);

    table_ = new QTableWidget;
    table_->setObjectName(QStringLiteral("paceTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(20);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("paceSummary"));
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary_->setWordWrap(true);
    summary_->setMinimumWidth(300);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // How the halves are judged, under the figures.
    auto* rule = new QLabel(qt(paceRuleText()));
    rule->setObjectName(QStringLiteral("paceRule"));
    rule->setWordWrap(true);
    rule->setStyleSheet(QStringLiteral("color:#606060"));
    auto* side = new QVBoxLayout;
    side->addWidget(summary_, 1);
    side->addWidget(rule);

    auto* lower = new QHBoxLayout;
    lower->addWidget(table_, 3);
    lower->addLayout(side, 2);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("analysisStatus"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addLayout(bar);
    layout->addWidget(chartView_, 3);
    layout->addLayout(lower, 2);
    layout->addWidget(status_);
}

LapAnalysisWindow::~LapAnalysisWindow() = default;

void LapAnalysisWindow::follow() {
    std::optional<MeetSwim> chosen = chosenSwim(model_);
    // Choosing another competitor empties the swim list; the window keeps the
    // swim it shows until another swim is chosen, as the lap grid does.
    if (!chosen) chosen = swim_;
    if (chosen == swim_ && lapIndex_ == model_.lapIndex && splitDistance_ == model_.splitDistance) {
        return;
    }
    const bool sameSwim = chosen == swim_ && splitDistance_ == model_.splitDistance;
    swim_ = chosen;
    lapIndex_ = model_.lapIndex;
    splitDistance_ = model_.splitDistance;
    if (!sameSwim) {
        // Another swim: read it, and offer the swims of its distance.
        other_.reset();
        otherName_.clear();
        readChosen();
        fillComparisons();
    }
    rebuild();
    if (heat_ && heat_->isVisible() && swim_) heat_->showHeatOf(*swim_);
}

void LapAnalysisWindow::reread() {
    std::optional<MeetSwim> chosen = chosenSwim(model_);
    // After a take of the meet the chosen swim may carry its new result.
    if (chosen && swim_ && chosen->ordinal == swim_->ordinal && chosen->heat == swim_->heat &&
        chosen->lane == swim_->lane)
        swim_ = chosen;
    lapIndex_ = model_.lapIndex;
    splitDistance_ = model_.splitDistance;
    // The swim compared with, found again among the swims now offered.
    std::optional<MeetSwim> compared;
    const int choice = compare_->currentIndex();
    if (other_ && choice >= 1 && choice <= static_cast<int>(comparable_.size()))
        compared = comparable_[static_cast<size_t>(choice - 1)];
    status_->clear();
    readChosen();
    fillComparisons();
    other_.reset();
    otherName_.clear();
    int again = 0;
    for (size_t i = 0; compared && i < comparable_.size(); ++i) {
        const MeetSwim& s = comparable_[i];
        if (s.ordinal == compared->ordinal && s.heat == compared->heat && s.lane == compared->lane)
            again = static_cast<int>(i) + 1;
    }
    if (again > 0) {
        compareWith(again);  // reads its laps again and redraws
    } else {
        rebuild();
    }
    if (heat_ && heat_->isVisible() && swim_) heat_->showHeatOf(*swim_);
}

void LapAnalysisWindow::readChosen() {
    readOk_ = false;
    splits_ = SwimSplits{};
    if (!swim_) return;
    if (auto read = readSwim(model_, files_, *swim_)) {
        splits_ = *read;
        readOk_ = true;
    } else {
        splits_.finalTime = swim_->finalTime();
        splits_.splitDistance = model_.splitDistance;
        splits_.eventDistance = swim_->eventDistance();
    }
}

void LapAnalysisWindow::fillComparisons() {
    comparable_.clear();
    compare_->clear();
    compare_->addItem(QStringLiteral("（比較なし）"));
    if (!swim_) return;
    MeetCompetitors competitors(model_, files_);
    // The same event first, then the other events of the same distance.
    std::vector<MeetSwim> same, others;
    for (const MeetSwim& s : meetSwims(model_)) {
        if (s == *swim_ || s.eventDistance() != swim_->eventDistance() || s.eventDistance() == 0)
            continue;
        (s.eventCode == swim_->eventCode ? same : others).push_back(s);
    }
    comparable_ = same;
    comparable_.insert(comparable_.end(), others.begin(), others.end());
    for (const MeetSwim& s : comparable_) compare_->addItem(qt(swimLabel(competitors, s)));
}

void LapAnalysisWindow::compareWith(int choice) {
    other_.reset();
    otherName_.clear();
    status_->clear();
    if (choice >= 1 && choice <= static_cast<int>(comparable_.size())) {
        const MeetSwim& swim = comparable_[static_cast<size_t>(choice - 1)];
        if (auto read = readSwim(model_, files_, swim)) {
            other_ = *read;
            MeetCompetitors competitors(model_, files_);
            otherName_ = trimmed(competitors.competitor(swim.ordinal).competitorName);
        } else {
            status_->setText(QStringLiteral("比較するレースのラップファイルを読めませんでした"));
        }
    }
    if (compare_->currentIndex() != choice) compare_->setCurrentIndex(other_ ? choice : 0);
    rebuild();
}

void LapAnalysisWindow::rebuild() {
    if (!swim_) {
        title_->setText(QStringLiteral("レースが選ばれていません"));
    } else {
        MeetCompetitors competitors(model_, files_);
        title_->setText(qt(swimLabel(competitors, *swim_)));
        if (!readOk_)
            status_->setText(QStringLiteral("このレースのラップファイルを読めませんでした"));
    }
    drawChart();
    fillTable();
}

void LapAnalysisWindow::drawChart() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const PaceFigures figures = paceFigures(splits_, lapIndex_);
    chart_->setTitle(QStringLiteral("%1m ごとのラップ（秒）").arg(figures.lapDistance));

    // Each lap in one of four bar sets: the first (the start's), the fastest
    // or the slowest after it, or the others.
    const LapMarks& marks = figures.marks;
    enum { Others, First, Fastest, Slowest };
    QList<qreal> values[4];
    QStringList categories;
    double low = 1e9, high = 0;
    auto seconds = [](int hundredths) { return hundredths / 100.0; };
    for (size_t i = 0; i < figures.laps.size(); ++i) {
        const Lap& lap = figures.laps[i];
        categories << QStringLiteral("%1m").arg(lap.endDistance);
        double value = lap.time ? seconds(*lap.time) : 0;
        const int set = i == 0               ? First
                        : marks.fastest == i ? Fastest
                        : marks.slowest == i ? Slowest
                                             : Others;
        for (int s = Others; s <= Slowest; ++s) values[s] << (s == set ? value : 0);
        if (lap.time) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    auto* bars = new QStackedBarSeries;
    auto addSet = [bars](const QString& name, const QColor& colour, const QList<qreal>& v) {
        auto* set = new QBarSet(name);
        set->setColor(colour);
        set->append(v);
        bars->append(set);
    };
    addSet(QStringLiteral("ラップ"), kLapColour, values[Others]);
    if (marks.start)
        addSet(QStringLiteral("第1ラップ（スタート込み）"), kStartColour, values[First]);
    if (marks.marking == LapMarking::Marked) {
        addSet(QStringLiteral("最速"), kFastColour, values[Fastest]);
        addSet(QStringLiteral("最遅"), kSlowColour, values[Slowest]);
    }
    chart_->addSeries(bars);

    QAbstractAxis* axisX = nullptr;
    if (categories.size() <= 16) {
        auto* byLap = new QBarCategoryAxis;
        byLap->append(categories);
        axisX = byLap;
    } else {
        // A long swim: a distance under every few laps, which all can read.
        auto* every = new QCategoryAxis;
        every->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        every->setRange(-0.5, categories.size() - 0.5);
        const int gap = categories.size() > 40 ? 10 : 5;
        for (int i = gap - 1; i < categories.size(); i += gap) every->append(categories[i], i);
        every->setGridLineVisible(false);
        axisX = every;
    }
    auto* axisY = new QValueAxis;
    chart_->addAxis(axisX, Qt::AlignBottom);
    chart_->addAxis(axisY, Qt::AlignLeft);
    bars->attachAxis(axisX);
    bars->attachAxis(axisY);

    const int n = static_cast<int>(figures.laps.size());
    if (figures.mean) {
        auto* mean = new QLineSeries;
        mean->setName(QStringLiteral("平均 %1").arg(qt(secondsText(*figures.mean))));
        mean->setPen(QPen(kMeanColour, 2, Qt::DashLine));
        mean->append(-0.5, seconds(*figures.mean));
        mean->append(n - 0.5, seconds(*figures.mean));
        chart_->addSeries(mean);
        mean->attachAxis(axisX);
        mean->attachAxis(axisY);
    }
    if (other_) {
        // The other swim's laps at the same step, as a line over the bars.
        const auto theirs = compareSwims(splits_, *other_, lapIndex_).otherLaps;
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("比較: %1").arg(qt(otherName_)));
        line->setPen(QPen(kOtherColour, 3));
        line->setPointsVisible(true);
        for (size_t i = 0; i < static_cast<size_t>(n) && i < theirs.size(); ++i) {
            if (!theirs[i]) continue;
            double value = seconds(*theirs[i]);
            line->append(static_cast<double>(i), value);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        chart_->addSeries(line);
        line->attachAxis(axisX);
        line->attachAxis(axisY);
    }
    if (high > 0) {
        // The bars start near the quickest lap, so that a fade shows.
        axisY->setRange(std::max(0.0, std::floor(low - (high - low) * 0.5 - 1)),
                        std::ceil(high + (high - low) * 0.1 + 0.5));
    } else {
        axisY->setRange(0, 60);
    }
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.1f"));
}

void LapAnalysisWindow::fillTable() {
    PaceTable table = paceTable(splits_, other_ ? &*other_ : nullptr, lapIndex_);
    table_->clear();
    table_->setColumnCount(static_cast<int>(table.heading.size()));
    table_->setRowCount(static_cast<int>(table.rows.size()));
    QStringList heading;
    for (const auto& h : table.heading) heading << qt(h);
    table_->setHorizontalHeaderLabels(heading);
    for (int r = 0; r < static_cast<int>(table.rows.size()); ++r) {
        const auto& row = table.rows[static_cast<size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            auto* item = new QTableWidgetItem(qt(row[static_cast<size_t>(c)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (r == table.startRow && (c == 2 || c == 3))
                item->setBackground(kStartColour.lighter(140));
            if (r == table.fastestRow && (c == 2 || c == 3))
                item->setBackground(kFastColour.lighter(180));
            if (r == table.slowestRow && (c == 2 || c == 3))
                item->setBackground(kSlowColour.lighter(180));
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();

    QStringList lines;
    for (const auto& line : paceSummary(paceFigures(splits_, lapIndex_))) {
        QString text = qt(line).toHtmlEscaped();
        if (line.starts_with(u"注意"))
            text = QStringLiteral("<span style='color:#b03020'>%1</span>").arg(text);
        lines << text;
    }
    if (swim_ && splits_.recorded.empty()) lines << QStringLiteral("通過記録がありません");
    summary_->setText(lines.join(QStringLiteral("<br>")));
}

QString LapAnalysisWindow::tableText() const {
    return qt(tabSeparated(paceTable(splits_, other_ ? &*other_ : nullptr, lapIndex_, true)));
}

void LapAnalysisWindow::copyTable() {
    QGuiApplication::clipboard()->setText(tableText());
    status_->setText(QStringLiteral("表をクリップボードにコピーしました"));
}

void LapAnalysisWindow::showHeat() {
    if (!swim_) return;
    if (!heat_) heat_ = new HeatWindow(model_, files_, this);
    heat_->showHeatOf(*swim_);
    heat_->show();
    heat_->raise();
}

}  // namespace quendro::view
