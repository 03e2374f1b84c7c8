#pragma once

#include <QWidget>

#include "app/main_window.h"
#include "laps/meet_swim.h"

class QLabel;
class QTableWidget;

namespace quendro::view {

// "組の途中順位": every lane of one heat side by side, with the cumulative
// time and place at each split, the lap below it, and the leader at each
// split marked.
class HeatWindow : public QWidget {
  public:
    HeatWindow(MainWindow& model, FileSystem& files, QWidget* parent = nullptr);
    // Shows the heat in which this swim took place.
    void showHeatOf(const MeetSwim& swim);

  private:
    MainWindow& model_;
    FileSystem& files_;
    QLabel* title_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace quendro::view
