#pragma once

#include <QObject>
#include <QPointer>

#include "app/main_window.h"

class QWidget;

namespace quendro::view {

class LapAnalysisWindow;
class MainView;

// What the main window offers beyond its own controls, without a control of
// its own in the layout:
// - a double-click or Enter on a row of the swim list opens "ラップ分析",
//   which then follows the chosen swim; its context menu also opens the heat;
// - the competitor list's context menu, and Ctrl+E (CSV) and Ctrl+Shift+E
//   (JSON), export the listed competitors beside the HTML page.
// It must not outlive the view it hooks into.
class AnalysisHooks : public QObject {
  public:
    AnalysisHooks(MainWindow& model, FileSystem& files, MainView& view);
    ~AnalysisHooks() override;

    // Opens (or brings up) the analysis window on the chosen swim.
    LapAnalysisWindow* openAnalysis();
    void exportList(bool json);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void followModel();

    MainWindow& model_;
    FileSystem& files_;
    MainView& view_;
    QWidget* swims_ = nullptr;
    QWidget* competitors_ = nullptr;
    QPointer<LapAnalysisWindow> analysis_;
};

}  // namespace quendro::view
