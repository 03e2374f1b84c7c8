#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "app/view/progress.h"

class QLabel;

namespace quendro::view {

class ThreadedTransfer;
class WindowStyle;

// The real window: one widget per control of the window model, placed at the
// control's twips (15 to a pixel) times the zoom. What the user does goes to the
// model, whose handlers run as they would for a click from code; afterwards
// every widget shows the model again.
class MainView : public QWidget {
  public:
    // The file system fills the drive and folder lists.
    MainView(MainWindow& model, FileSystem& files, QWidget* parent = nullptr);
    ~MainView() override;

    // Shows the model's state in every widget.
    void refresh();

    static int pixels(int twips);

    // The transfer whose waits the window shows, and whose work Esc stops.
    void attachTransfer(ThreadedTransfer& transfer);
    // Runs a procedure of the model as one user action (start-up, for one).
    void perform(const std::function<void()>& procedure);
    // True while a user action runs (a procedure, the waits inside it).
    bool acting() const { return acting_ > 0; }

    // Ctrl + plus, minus and 0 zoom the whole window.
    double zoom() const { return zoom_; }
    // The window's size, status line included, at a zoom.
    QSize sizeAt(double zoom) const;
    void setZoom(double zoom);
    // The window's size at a zoom with the title bar and borders the window
    // system gives it (none before the window first shows, nor without them).
    QSize frameAt(double zoom) const;
    // Puts the whole window, its frame included, in the room (the screen it
    // opens or stands on, less the panels): at the largest zoom up to wanted
    // that fits, at the kept position moved just far enough onto the room
    // (its middle when none is kept). Start-up and every zoom step use it.
    void fitInto(const QRect& room, double wanted, std::optional<QPoint> kept);
    std::function<void(double)> onZoomChanged;
    // The status line's words as they stand whole (the line shows them cut
    // with "…" when they are longer than its box, and whole in its tooltip).
    QString statusWords() const { return statusWords_; }
    // Runs after every refresh, so that windows beside this one follow the model.
    std::function<void()> onRefresh;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    void placeWidgets();
    void addZoomKeys();
    void showWait(const std::u16string& words);
    void showStatus(const QString& words);
    bool moveInOptionGroup(QObject* watched, int key);
    std::u16string viewTooltip(const Control& control) const;
    std::map<Fetch, int> expectedFetches(const Control& control);
    // Runs a user action on the model, then shows the outcome.
    void act(const std::function<void()>& action, std::map<Fetch, int> expected = {});

    static constexpr int kStatusHeight = 20;  // the status line under the client area, at zoom 1

    MainWindow& model_;
    FileSystem& files_;
    std::vector<Binding> bindings_;
    QLabel* status_ = nullptr;
    bool refreshing_ = false;
    bool waitRefresh_ = false;  // refreshing while a download is waited for
    double zoom_ = 1.0;
    QSize frameSeen_{0, 0};  // what the title bar and borders added when last seen
    WindowStyle* style_ = nullptr;
    ThreadedTransfer* transfer_ = nullptr;
    qint64 lastWaitRefresh_ = 0;
    int acting_ = 0;
    QString statusWords_;
};

}  // namespace quendro::view
