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
//   (JSON) wherever the focus is in the main window (a text box too, which
//   would take Ctrl+E for itself), export the listed competitors beside the
//   HTML page; the competitor and swim chosen before stay chosen.
// It must not outlive the view it hooks into.
class AnalysisHooks : public QObject {
  public:
    AnalysisHooks(MainWindow& model, FileSystem& files, MainView& view);
    ~AnalysisHooks() override;

    // Opens (or brings up) the analysis window on the chosen swim.
    LapAnalysisWindow* openAnalysis();
    void exportList(bool json);
    // The shown swim's lap file or the whole meet changed (the follows of a
    // live meet): an open analysis window and heat view read the same swim's
    // laps again and redraw.
    void lapsChanged();

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
