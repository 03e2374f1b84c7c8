#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "app/follow_meet.h"
#include "app/main_window.h"

namespace quendro::view {

// Follows the shown meet during a live meet: every few seconds its heat table
// and competitor file are checked on a thread of its own (the window never
// waits for the server), and a whole new meet is taken by the window model.
// The status line says when the server stops answering and when it answers
// again. While the user's action runs (a download waited for, a report), what
// came and what the looks learned of the server wait for the action's end.
class MeetFollowTimer : public QObject {
  public:
    // refreshed runs after the model took a new meet, to redraw the windows;
    // busy tells whether a user action is under way.
    MeetFollowTimer(MainWindow& model, InternetTransfer& inet, FileSystem& files,
                    std::function<void()> refreshed, std::function<bool()> busy = {},
                    std::chrono::milliseconds every = std::chrono::seconds(3));
    ~MeetFollowTimer() override;

    // How many checks have come back, and how many new meets were taken.
    int checksDone() const { return checksDone_; }
    int takes() const { return takes_; }

  private:
    void tick();
    void startCheck();
    void take();
    void tell();

    MainWindow& model_;
    InternetTransfer& inet_;
    FileSystem& files_;
    std::function<void()> refreshed_;
    std::function<bool()> busy_;
    std::chrono::milliseconds every_;
    QTimer timer_;
    QThreadPool pool_;
    std::optional<FollowedMeet> followed_;
    MeetFilesSeen seen_;
    std::optional<MeetCheck> arrived_;  // a whole meet waiting for its take
    ServerReach reach_;
    std::optional<bool> answered_;  // whether the last look got an answer, waiting to be told
    std::chrono::steady_clock::time_point nextCheck_;
    bool checking_ = false;
    int checksDone_ = 0;
    int takes_ = 0;
};

}  // namespace quendro::view
