#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "app/follow_swim.h"
#include "app/main_window.h"

namespace quendro::view {

// Follows the shown swim of a live meet: every second its lap file is
// checked on a thread of its own (the window never waits for the server) and
// the grid refreshed when the file changed. Choosing another swim starts
// following that one; an answer about the swim left behind is dropped.
class LapFollowTimer : public QObject {
  public:
    // refreshed runs after the model's grid changed, to redraw the window.
    LapFollowTimer(MainWindow& model, InternetTransfer& inet, FileSystem& files,
                   std::function<void()> refreshed,
                   std::chrono::milliseconds every = std::chrono::seconds(1));
    ~LapFollowTimer() override;

    // How many checks have come back, for a look from outside.
    int checksDone() const { return checksDone_; }

  private:
    void tick();
    void startCheck();

    MainWindow& model_;
    InternetTransfer& inet_;
    FileSystem& files_;
    std::function<void()> refreshed_;
    std::chrono::milliseconds every_;
    QTimer timer_;
    QThreadPool pool_;
    std::optional<FollowedSwim> followed_;
    LapFileSeen seen_;
    std::chrono::steady_clock::time_point nextCheck_;
    bool checking_ = false;
    int checksDone_ = 0;
};

}  // namespace quendro::view
