#include "app/view/meet_follow_timer.h"

#include <QMetaObject>

namespace quendro::view {

MeetFollowTimer::MeetFollowTimer(MainWindow& model, InternetTransfer& inet, FileSystem& files,
                                 std::function<void()> refreshed, std::function<bool()> busy,
                                 std::chrono::milliseconds every)
    : model_(model),
      inet_(inet),
      files_(files),
      refreshed_(std::move(refreshed)),
      busy_(std::move(busy)),
      every_(every) {
    pool_.setMaxThreadCount(1);
    timer_.setInterval(
        std::max<std::chrono::milliseconds>(every_ / 4, std::chrono::milliseconds(50)));
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start();
}

MeetFollowTimer::~MeetFollowTimer() {
    timer_.stop();
    pool_.waitForDone();
}

void MeetFollowTimer::tick() {
    std::optional<FollowedMeet> shown = followedMeetOf(model_);
    auto now = std::chrono::steady_clock::now();
    if (shown != followed_) {
        // Another meet confirmed (or none followed): the confirm has just read it.
        followed_ = std::move(shown);
        seen_ = MeetFilesSeen{};
        arrived_.reset();
        reach_ = ServerReach{};
        answered_.reset();
        nextCheck_ = now + every_;
    }
    if (answered_ && !(busy_ && busy_())) tell();
    if (arrived_ && !(busy_ && busy_())) take();
    if (!followed_ || checking_ || now < nextCheck_) return;
    startCheck();
}

void MeetFollowTimer::take() {
    MeetCheck check = std::move(*arrived_);
    arrived_.reset();
    MeetTake taken = model_.TakeFollowedMeet(*followed_, *check.heats, *check.competitors);
    if (taken == MeetTake::Taken) ++takes_;
    if (taken != MeetTake::NotTaken && refreshed_) refreshed_();
}

void MeetFollowTimer::tell() {
    const std::u16string before = model_.statusText;
    model_.TellFollowedMeetLook(*followed_, reach_, *answered_);
    answered_.reset();
    if (model_.statusText != before && refreshed_) refreshed_();
}

void MeetFollowTimer::startCheck() {
    checking_ = true;
    FollowedMeet meet = *followed_;
    MeetFilesSeen since = seen_;
    pool_.start([this, meet, since] {
        MeetCheck check = checkMeetFiles(meet, since, inet_, files_);
        QMetaObject::invokeMethod(
            this,
            [this, meet, check = std::move(check)]() mutable {
                checking_ = false;
                ++checksDone_;
                nextCheck_ = std::chrono::steady_clock::now() + every_;
                if (followed_ != meet) return;  // another meet was confirmed meanwhile
                seen_ = check.seen;
                answered_ = check.outcome != MeetCheck::Outcome::Failed;
                if (!(busy_ && busy_())) tell();
                if (check.outcome != MeetCheck::Outcome::Changed) return;
                arrived_ = std::move(check);
                if (!(busy_ && busy_())) take();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quendro::view
