#include "app/view/lap_follow_timer.h"

#include <QMetaObject>

namespace quendro::view {

LapFollowTimer::LapFollowTimer(MainWindow& model, InternetTransfer& inet, FileSystem& files,
                               std::function<void()> refreshed, std::chrono::milliseconds every)
    : model_(model), inet_(inet), files_(files), refreshed_(std::move(refreshed)), every_(every) {
    pool_.setMaxThreadCount(1);
    // The choice of a swim is noticed within a fraction of the check interval.
    timer_.setInterval(
        std::max<std::chrono::milliseconds>(every_ / 4, std::chrono::milliseconds(50)));
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start();
}

LapFollowTimer::~LapFollowTimer() {
    timer_.stop();
    pool_.waitForDone();
}

void LapFollowTimer::tick() {
    std::optional<FollowedSwim> shown = followedSwimOf(model_);
    auto now = std::chrono::steady_clock::now();
    if (shown != followed_) {
        // The same swim of a meet taken again, with a new final time or in
        // another row: its lap file is read again at once, for the new final.
        bool sameSwim = shown && followed_ && shown->heat == followed_->heat &&
                        shown->lane == followed_->lane && shown->source == followed_->source;
        // Otherwise another swim (or none): its choice has just read the lap file.
        followed_ = std::move(shown);
        seen_ = LapFileSeen{};
        nextCheck_ = sameSwim ? now : now + every_;
    }
    if (!followed_ || checking_ || now < nextCheck_) return;
    startCheck();
}

void LapFollowTimer::startCheck() {
    checking_ = true;
    FollowedSwim swim = *followed_;
    LapFileSeen since = seen_;
    pool_.start([this, swim, since] {
        LapFileCheck check = checkLapFile(swim, since, inet_, files_);
        QMetaObject::invokeMethod(
            this,
            [this, swim, check = std::move(check)] {
                checking_ = false;
                ++checksDone_;
                nextCheck_ = std::chrono::steady_clock::now() + every_;
                if (followed_ != swim) return;  // another swim was chosen meanwhile
                seen_ = check.seen;
                if (check.outcome == LapFileCheck::Outcome::Changed &&
                    refreshFollowedSwim(model_, swim, check.bytes) && refreshed_)
                    refreshed_();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quendro::view
