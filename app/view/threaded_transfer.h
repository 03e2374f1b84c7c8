#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "app/view/progress.h"
#include "platform/internet_transfer.h"

class QEventLoop;

namespace quendro::view {

class InputHold;

// The internet transfer of the window, with every call that may block run on a
// thread of its own. The procedures still see a call that returns when the
// transfer is done; meanwhile the window paints, tells on the status line what
// it fetches, and holds back the user's input, Esc excepted: Esc stops the
// work: the download waited for, and every download of the user's action from
// then on, ends at once as Cancelled, and the procedure tells it.
class ThreadedTransfer : public QObject, public InternetTransfer {
  public:
    ThreadedTransfer(InternetTransfer& inner, InputHold& hold);
    ~ThreadedTransfer() override;
    ThreadedTransfer(const ThreadedTransfer&) = delete;
    ThreadedTransfer& operator=(const ThreadedTransfer&) = delete;

    std::optional<std::string> openUrl(std::u16string_view url) override;
    Download download(std::u16string_view url) override;
    // The inner transfer's batch, several at a time where it can: the window
    // waits for each body as for a download, and the status line counts the
    // batch's ended transfers.
    std::unique_ptr<BatchDownload> openUrls(std::vector<std::u16string> urls,
                                            DownloadProgress progress = {}) override;
    void setUrl(std::u16string url) override { inner_.setUrl(std::move(url)); }
    const std::u16string& url() const override { return inner_.url(); }
    bool execute(std::u16string_view url, std::u16string_view operation) override {
        return inner_.execute(url, operation);
    }
    bool stillExecuting() override { return inner_.stillExecuting(); }
    bool executeFailed() override { return inner_.executeFailed(); }
    // Esc: stops the work of the user's action.
    void cancel() override;

    // One user action: how many files of each kind it is expected to fetch, so
    // that the status line can count them. Actions nest (the upload's wait
    // takes clicks).
    void beginAction(std::map<Fetch, int> expected = {});
    // True when the user stopped the action with Esc.
    bool endAction();

    // Runs as a wait begins, with the words for the status line.
    std::function<void(const std::u16string& words)> onWait;
    // Runs as a wait outside any user action ends (the analysis window's
    // downloads): no action's end then puts the status line right again.
    std::function<void()> onLooseWaitEnd;

  private:
    class Batch;
    struct Action {
        std::map<Fetch, int> expected;
        std::map<Fetch, int> done;
        bool cancelled = false;
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    // Runs call on a thread of its own and waits for it with the window painting.
    // False when the user pressed Esc first; the call then ends on its own.
    bool waitFor(std::function<void()> call, const std::u16string& words);
    void settleAbandoned();
    void finished(int id);
    bool onWindowThread() const;
    // The action a download or batch body belongs to.
    Action& actionOfCall();

    InternetTransfer& inner_;
    InputHold& hold_;
    std::vector<Action> actions_;
    Action loose_;  // calls made outside any user action (start-up)
    std::map<int, QEventLoop*> waits_;
    int nextId_ = 0;
    std::vector<Worker> abandoned_;
};

}  // namespace quendro::view
