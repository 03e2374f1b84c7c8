#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "laps/meet_swim.h"
#include "laps/pace.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

namespace quendro::view {

class HeatWindow;

// "ラップ分析": the pace of the swim chosen in the main window as a chart of
// its laps at the interval of the lap option, with the mean lap and the
// fastest and slowest lap marked; a table of every split and lap; the halves
// and the checks of the splits; and any other swim of the same distance laid
// over it. The window follows the main window's chosen swim.
class LapAnalysisWindow : public QWidget {
  public:
    LapAnalysisWindow(MainWindow& model, FileSystem& files, QWidget* parent = nullptr);
    ~LapAnalysisWindow() override;

    // Shows the swim chosen in the main window, at the lap interval chosen
    // there; does nothing when neither changed since the last call.
    void follow();
    // Reads the shown swim's laps again (its lap file or the meet changed),
    // keeps the comparison when its swim is still there, and redraws this
    // window and an open heat view.
    void reread();
    // Lays the swim at this place of the comparison list over the chosen one
    // (0: none).
    void compareWith(int choice);
    // The swims of the same distance that the comparison list offers, after
    // the "none" entry.
    const std::vector<MeetSwim>& comparable() const { return comparable_; }

    // The table as tab-separated text, put on the clipboard by copyTable().
    QString tableText() const;
    void copyTable();
    // Saves the chart as a PNG picture with the title above it (competitor,
    // event, stage, meet); false when the file cannot be written.
    bool saveChart(const QString& path);
    // Where the save dialog starts: the chosen folder (or the working folder
    // in internet mode) on this machine, and a file name made from the title.
    QString suggestedChartPath() const;
    // The title drawn above the saved chart.
    QString chartTitleText() const;
    // The heat of the chosen swim at every split.
    void showHeat();

  private:
    void rebuild();
    void readChosen();
    void fillComparisons();
    void drawChart();
    void fillTable();
    void askAndSaveChart();

    MainWindow& model_;
    FileSystem& files_;
    std::optional<MeetSwim> swim_;
    int lapIndex_ = -1;
    int splitDistance_ = -1;
    SwimSplits splits_;
    bool readOk_ = false;
    std::vector<MeetSwim> comparable_;
    std::optional<SwimSplits> other_;
    std::u16string otherName_;

    QLabel* title_ = nullptr;
    QComboBox* compare_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* status_ = nullptr;
    HeatWindow* heat_ = nullptr;
};

}  // namespace quendro::view
