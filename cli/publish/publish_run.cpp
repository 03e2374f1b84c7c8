// The runs of the publisher: the one-off publish and the watch.
#include <thread>
#include <utility>

#include "cli/publish/publisher.h"
#include "cli/publish/viewer_publish.h"

namespace quendro {
namespace {

// Sleeps for the interval, or less once stop is set.
void pause(std::chrono::milliseconds interval, const std::atomic<bool>* stop) {
    auto end = std::chrono::steady_clock::now() + interval;
    while (std::chrono::steady_clock::now() < end) {
        if (stop && stop->load()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

bool Publisher::publishMeet() {
    MeetFolder& folder = parts_->folder;
    MeetSender& sender = parts_->sender;
    std::vector<MeetFileOnServer> files = folder.files();
    if (files.size() == 3)
        out_ << "注意: ラップファイルがまだありません: " << shown(shownPath(source_->lapFolder)) << "\n";
    bool heldBack = false;
    for (const MeetFileOnServer& file : files) folder.ready(file);
    for (SendOutcome outcome : sender.sendAll(files, lastServerFailure_)) {
        if (outcome == SendOutcome::ServerFailed) {
            err_ << "エラー: 送信できませんでした: " << lastServerFailure_ << "\n"
                 << "大会一覧には加えません。\n";
            return false;
        }
        if (outcome == SendOutcome::HeldBack) heldBack = true;
    }
    // A lap file being written: its last line goes once it is finished or at rest.
    auto end = std::chrono::steady_clock::now() + kUnfinishedLineRest + std::chrono::seconds(3);
    for (bool waiting = true; waiting && std::chrono::steady_clock::now() < end;) {
        waiting = false;
        std::vector<MeetFileOnServer> ready;
        for (const MeetFileOnServer& file : folder.files()) {
            if (file.kind != MeetFileOnServer::Kind::Lap) continue;
            FileStamp stamp = folder.stampOf(file);
            if (folder.watch().holds(file.name, stamp)) continue;
            waiting = true;
            if (folder.watch().ready(file.name, stamp)) ready.push_back(file);
        }
        for (SendOutcome outcome : sender.sendAll(ready, lastServerFailure_)) {
            if (outcome == SendOutcome::ServerFailed) {
                err_ << "エラー: 送信できませんでした: " << lastServerFailure_ << "\n";
                return false;
            }
        }
        if (waiting) pause(std::chrono::milliseconds(200), nullptr);
    }
    // The viewer goes beside the meet, never in its way: its failure is told
    // and counted at the end.
    bool viewerWhole = sendViewer(options_, files_, parts_->uploader, out_, err_);
    // The browsers' data of what the server now holds.
    if (!sendWebData()) {
        err_ << "エラー: 送信できませんでした: " << lastServerFailure_ << "\n";
        return false;
    }
    // What the server serves now, not what it was sent, is what a viewer
    // reads: the meet is listed only once that is the folder's.
    if (heldBack || !readBackHolds(kOneShotReadBackTime)) {
        err_ << "大会一覧には加えません。\n";
        return false;
    }
    SeasonListing& listing = parts_->listing;
    bool listed = listing.addListEntry(false, lastServerFailure_);
    if (listed) listed = listing.addWebEntry(parts_->web.meet(), false, lastServerFailure_);
    std::vector<std::string> missing = notOnServer();
    if (!missing.empty()) {
        err_ << "サーバーにまだないもの: " << joined(missing) << "\n";
        return false;
    }
    return listed && viewerWhole;
}

Publisher::Look Publisher::lookOnce(bool everyFile) {
    Look look;
    const int takenBefore = parts_->uploader.taken();
    const bool listedBefore = parts_->listing.listed();
    MeetFolder& folder = parts_->folder;
    // Every file is looked at, so that the look that finds the server back
    // sends all that changed meanwhile; the files of the look go together.
    std::vector<MeetFileOnServer> due;
    for (const MeetFileOnServer& file : folder.files()) {
        if (folder.ready(file) || everyFile) due.push_back(file);
    }
    for (SendOutcome outcome : parts_->sender.sendAll(due, lastServerFailure_)) {
        if (outcome == SendOutcome::Sent) ++look.sent;
        if (outcome == SendOutcome::ServerFailed) look.serverFailed = true;
    }
    if (look.serverFailed) look.failure = lastServerFailure_;
    if (!look.serverFailed && !parts_->listing.listed()) {
        bool allThere = true;
        for (const MeetFileOnServer& file : folder.files())
            allThere &= folder.watch().everSent(file.name);
        if (allThere && !parts_->listing.addListEntry(true, lastServerFailure_) &&
            !lastServerFailure_.empty()) {
            look.serverFailed = true;
            look.failure = lastServerFailure_;
        }
    }
    // The viewer once a run, at the first look the server answers.
    if (!look.serverFailed && viewerDue_) {
        viewerDue_ = false;
        sendViewer(options_, files_, parts_->uploader, out_, err_);
    }
    if (!look.serverFailed && !sendWebData()) {
        look.serverFailed = true;
        look.failure = lastServerFailure_;
    }
    look.taken = parts_->uploader.taken() - takenBefore +
                 (parts_->listing.listed() && !listedBefore ? 1 : 0);
    out_.flush();
    return look;
}

bool Publisher::watch(const std::atomic<bool>& stop, std::chrono::milliseconds interval) {
    // Sending has stopped: the server is away or failing. It is back only when
    // it takes a file again; a look with nothing to send tells nothing.
    bool stopped = false;
    int sentSinceStop = 0;
    // A meet folder that is not there (a share dropped) sends nothing: a meet
    // that seems to have lost its files has not, and the server keeps what it
    // holds. Told once, and once when a look finds it again; the first look
    // that finds it sends every file.
    bool away = false;
    bool everyFile = true;
    for (bool first = true; !stop.load(); first = false) {
        if (!first) pause(interval, &stop);
        if (stop.load()) break;
        lastServerFailure_.clear();
        const bool seen = parts_->folder.seen();
        if (seen == away) {
            if (away) {
                out_ << "フォルダが戻りました: " << parts_->folder.shownFolder()
                     << "。その間に変わったファイルを送ります\n";
                out_.flush();
            } else {
                err_ << "フォルダが見えません: " << parts_->folder.shownFolder()
                     << "。サーバーのファイルはそのままにして、戻るのを待ちます\n";
                err_.flush();
            }
            away = !seen;
        }
        Look look;
        if (seen) look = lookOnce(std::exchange(everyFile, false));
        if (first) {
            out_ << "変更を見張っています (Ctrl+C で終了)\n";
            out_.flush();
        }
        if (stop.load()) break;
        if (look.serverFailed) {
            if (!stopped) {
                err_ << "送信が止まりました: " << look.failure
                     << "。サーバーが戻るまで送り直し続けます\n";
                err_.flush();
                sentSinceStop = 0;
            }
            stopped = true;
            sentSinceStop += look.sent;
        } else if (stopped && look.taken > 0) {
            sentSinceStop += look.sent;
            out_ << "再開しました（" << sentSinceStop << " ファイルを送信）\n";
            out_.flush();
            stopped = false;
        }
    }
    if (away) {
        err_ << "フォルダが見えないので、サーバーがフォルダと同じか確かめられません: "
             << parts_->folder.shownFolder() << "\n";
        return false;
    }
    std::vector<std::string> missing = notOnServer();
    if (!missing.empty()) {
        err_ << "サーバーにまだないもの: " << joined(missing) << "\n";
        return false;
    }
    if (!readBackHolds(kReadBackTime)) return false;
    out_ << "サーバーはフォルダと同じです\n";
    return true;
}

}  // namespace quendro
