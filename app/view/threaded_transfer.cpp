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

ThreadedTransfer::Action& ThreadedTransfer::actionOfCall() {
    if (!actions_.empty()) return actions_.back();
    // A call outside any user action (the analysis window, an export) has no
    // action to end: Esc stopped the download it waited for, and the next such
    // call, once no wait is left, is asked afresh.
    if (loose_.cancelled && waits_.empty()) loose_.cancelled = false;
    return loose_;
}

Download ThreadedTransfer::download(std::u16string_view url) {
    if (!onWindowThread()) return inner_.download(url);
    Action& action = actionOfCall();
    if (action.cancelled) return cancelledDownload();
    Fetch fetch = fetchOf(url);
    int done = ++action.done[fetch];
    int total = action.expected.count(fetch) ? action.expected.at(fetch) : 0;

    auto result = std::make_shared<Download>();
    std::u16string address(url);
    bool finished = waitFor([this, result, address] { *result = inner_.download(address); },
                            progressWords(fetch, done, total));
    if (!finished) return cancelledDownload();
    return std::move(*result);
}

// The batch of a report: its transfers run on the threads that wait for its
// bodies, and its progress is told on the window's thread.
class ThreadedTransfer::Batch : public BatchDownload {
  public:
    // How far the batch has come, as the window's thread last heard it.
    struct Count {
        DownloadProgress progress;  // the caller's
        Fetch fetch = Fetch::Other;
        size_t done = 0;
        size_t total = 0;
        bool waiting = false;  // the window waits for a body of the batch now
        bool alive = true;     // the batch has not been dropped
    };

    Batch(ThreadedTransfer& owner, std::shared_ptr<Count> count)
        : owner_(owner), count_(std::move(count)) {}
    ~Batch() override { count_->alive = false; }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    void setInner(std::unique_ptr<BatchDownload> inner) { inner_ = std::move(inner); }

    Download body(size_t i) override {
        // A stopped body may still run on its thread: the batch is not asked again.
        if (stopped_ || owner_.actionOfCall().cancelled) return cancelledDownload();
        auto result = std::make_shared<Download>();
        count_->waiting = true;
        bool finished = owner_.waitFor(
            [inner = inner_, result, i] { *result = inner->body(i); },
            progressWords(count_->fetch, static_cast<int>(count_->done),
                          static_cast<int>(count_->total)));
        count_->waiting = false;
        if (!finished) {
            stopped_ = true;
            return cancelledDownload();
        }
        return std::move(*result);
    }

  private:
    ThreadedTransfer& owner_;
    std::shared_ptr<Count> count_;
    std::shared_ptr<BatchDownload> inner_;  // shared with the thread that waits for a body
    bool stopped_ = false;
};

std::unique_ptr<BatchDownload> ThreadedTransfer::openUrls(std::vector<std::u16string> urls,
                                                          DownloadProgress progress) {
    if (!onWindowThread()) return inner_.openUrls(std::move(urls), std::move(progress));
    auto count = std::make_shared<Batch::Count>();
    count->progress = std::move(progress);
    if (!urls.empty()) count->fetch = fetchOf(urls.front());
    // Transfers end on the waiting thread; the window hears of them in order.
    DownloadProgress told = [this, count](size_t done, size_t total) {
        QMetaObject::invokeMethod(
            this,
            [this, count, done, total] {
                count->done = done;
                count->total = total;
                if (count->alive && count->progress) count->progress(done, total);
                if (count->waiting && onWait)
                    onWait(progressWords(count->fetch, static_cast<int>(done),
                                         static_cast<int>(total)));
            },
            Qt::QueuedConnection);
    };
    // A stopped transfer still being stopped would take the new batch with it.
    settleAbandoned();
    auto batch = std::make_unique<Batch>(*this, count);
    batch->setInner(inner_.openUrls(std::move(urls), std::move(told)));
    return batch;
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
    if (actions_.empty() && onLooseWaitEnd) onLooseWaitEnd();

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
        // Taken out first: what the wait below lets run may settle others.
        Worker worker = std::move(abandoned_.back());
        abandoned_.pop_back();
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
    }
}

}  // namespace quendro::view
