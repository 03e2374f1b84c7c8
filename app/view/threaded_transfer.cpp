#include "app/view/threaded_transfer.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <chrono>

#include "app/view/input_hold.h"

namespace quendro::view {

ThreadedTransfer::ThreadedTransfer(InternetTransfer& inner, InputHold& hold)
    : inner_(inner), hold_(hold) {}

ThreadedTransfer::~ThreadedTransfer() {
    // A stopped download ends at the transfer's next look at its cancel request.
    for (Worker& worker : abandoned_) {
        while (!worker.done->load()) {
            inner_.cancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        worker.thread.join();
    }
}

void ThreadedTransfer::beginAction(std::map<Fetch, int> expected) {
    actions_.push_back(Action{std::move(expected), {}, false});
}

bool ThreadedTransfer::endAction() {
    if (actions_.empty()) return false;
    bool cancelled = actions_.back().cancelled;
    actions_.pop_back();
    return cancelled;
}

void ThreadedTransfer::cancel() {
    (actions_.empty() ? loose_ : actions_.back()).cancelled = true;
    inner_.cancel();
    for (auto& [id, loop] : waits_) loop->quit();
}

std::optional<std::string> ThreadedTransfer::openUrl(std::u16string_view url) {
    if (!onWindowThread()) return inner_.openUrl(url);
    Download result = download(url);
    if (!result.ok()) return std::nullopt;
    return std::move(result.body);
}

Download ThreadedTransfer::download(std::u16string_view url) {
    if (!onWindowThread()) return inner_.download(url);
    Action& action = actions_.empty() ? loose_ : actions_.back();
    if (action.cancelled) return Download{};
    Fetch fetch = fetchOf(url);
    int done = ++action.done[fetch];
    int total = action.expected.count(fetch) ? action.expected.at(fetch) : 0;

    auto result = std::make_shared<Download>();
    std::u16string address(url);
    bool finished = waitFor([this, result, address] { *result = inner_.download(address); },
                            progressWords(fetch, done, total));
    if (!finished) return Download{};  // stopped: as a download that got no answer
    return std::move(*result);
}

bool ThreadedTransfer::waitFor(std::function<void()> call, const std::u16string& words) {
    // A call from a thread of its own blocks nothing of the window's.
    if (!onWindowThread()) {
        call();
        return true;
    }
    settleAbandoned();
    if (onWait) onWait(words);
    int id = nextId_++;
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, call = std::move(call), done, id] {
        call();
        done->store(true);
        QMetaObject::invokeMethod(
            this, [this, id] { finished(id); }, Qt::QueuedConnection);
    });

    QEventLoop loop;
    waits_[id] = &loop;
    hold_.begin();
    if (!done->load()) loop.exec();
    hold_.end();
    waits_.erase(id);

    if (done->load()) {
        thread.join();
        return true;
    }
    abandoned_.push_back(Worker{std::move(thread), done});
    return false;
}

bool ThreadedTransfer::onWindowThread() const {
    return QThread::currentThread() == thread();
}

void ThreadedTransfer::finished(int id) {
    auto found = waits_.find(id);
    if (found != waits_.end()) found->second->quit();
}

// Before the next transfer starts, a stopped one that still runs is asked again
// to stop and waited for, with the window painting.
void ThreadedTransfer::settleAbandoned() {
    while (!abandoned_.empty()) {
        Worker& worker = abandoned_.back();
        if (!worker.done->load()) {
            if (onWait) onWait(u"取得を中止しています …");
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                inner_.cancel();
                if (worker.done->load()) loop.quit();
            });
            poll.start(20);
            hold_.begin();
            loop.exec();
            hold_.end();
        }
        worker.thread.join();
        abandoned_.pop_back();
    }
}

}  // namespace quendro::view
