#pragma once

#include <QWidget>
#include <vector>

#include "app/main_window.h"

class QLabel;

namespace quendro::view {

// The real window: one widget per control of the window model, placed at the
// control's twips (15 to a pixel). What the user does goes to the model, whose
// handlers run as they would for a click from code; afterwards every widget
// shows the model again.
class MainView : public QWidget {
  public:
    // The file system fills the drive and folder lists.
    MainView(MainWindow& model, FileSystem& files, QWidget* parent = nullptr);
    ~MainView() override;

    // Shows the model's state in every widget.
    void refresh();

    static int pixels(int twips);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Binding {
        Control* control;
        QWidget* widget;
    };

    QWidget* makeWidget(Control& control);
    void connectWidget(Control& control, QWidget* widget);
    void refreshOne(const Binding& binding);
    void fillDirList(DirList& dir, QWidget* widget);
    void showPointer(MousePointer pointer);
    // Runs a user action on the model, then shows the outcome.
    template <typename Action>
    void act(Action action);

    MainWindow& model_;
    FileSystem& files_;
    std::vector<Binding> bindings_;
    QLabel* status_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace quendro::view
