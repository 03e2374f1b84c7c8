// The runs of the publisher: the one-off publish and the watch.
#include <thread>

#include "cli/publish/publisher.h"
#include "cli/publish/season_entry.h"
#include "platform/text_rules.h"
#include "reports/web_json.h"

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

bool Publisher::addListEntry(bool quietServer) {
    std::string listUrl = seasonUrl() + "list.txt";
    std::string shownUrl = withoutPassword(listUrl);
    const MeetHeader& header = source_->header;
    SeasonEntryResult result =
        putMeetInSeasonList(http_, listUrl, header.meetCode, header.abbreviation);
    switch (result.outcome) {
        case SeasonEntry::Added:
            out_ << "大会一覧に加えました: " << shownUrl << "\n";
            break;
        case SeasonEntry::AlreadyListed:
            out_ << "大会一覧には既にあります: " << shownUrl << "\n";
            break;
        case SeasonEntry::Unreadable:
            lastServerFailure_ = shownUrl + ": " + result.detail;
            if (!quietServer) err_ << "エラー: 大会一覧を読み込めませんでした: " << lastServerFailure_ << "\n";
            return false;
        case SeasonEntry::Refused:
            lastServerFailure_ = shownUrl + ": " + result.detail;
            if (!quietServer) err_ << "エラー: 大会一覧を送信できませんでした: " << lastServerFailure_ << "\n";
            return false;
        case SeasonEntry::CutShort:
            tellOnce("list.txt", "エラー: 大会一覧が途中で切れています。何も送りません: " + shownUrl);
            return false;
        case SeasonEntry::TooLarge:
            tellOnce("list.txt", "エラー: 大会一覧が大きすぎます。何も送りません: " + shownUrl);
            return false;
        case SeasonEntry::Lost:
            tellOnce("list.txt", "エラー: 大会一覧に加えても、ほかの送信に " +
                                     std::to_string(result.uploads) +
                                     " 回とも上書きされました: " + shownUrl);
            return false;
    }
    told_.erase("list.txt");
    listed_ = true;
    return true;
}

std::vector<std::string> Publisher::notOnServer() {
    std::vector<std::string> missing;
    for (const MeetFileOnServer& file : meetFiles()) {
        if (!watch_.holds(file.name, stampOf(hostPath(file.localPath))))
            missing.push_back(file.name);
    }
    if (!listed_) missing.push_back("大会一覧 (list.txt) の項目");
    if (webMeetStale_ || !heatsStale_.empty()) missing.push_back("ウェブ用データ (web/)");
    if (listed_ && (!webMeet_ || seasonLineListed_ != webSeasonLine(*webMeet_)))
        missing.push_back("ウェブ用の大会一覧 (web/meets.json) の項目");
    return missing;
}

bool Publisher::publishMeet() {
    std::vector<MeetFileOnServer> files = meetFiles();
    if (files.size() == 3)
        out_ << "注意: ラップファイルがまだありません: " << toUtf8(visibleText(source_->lapFolder)) << "\n";
    bool heldBack = false;
    for (const MeetFileOnServer& file : files) watch_.ready(file.name, stampOf(hostPath(file.localPath)));
    for (SendOutcome outcome : sendAll(files)) {
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
        for (const MeetFileOnServer& file : meetFiles()) {
            if (file.kind != MeetFileOnServer::Kind::Lap) continue;
            FileStamp stamp = stampOf(hostPath(file.localPath));
            if (watch_.holds(file.name, stamp)) continue;
            waiting = true;
            if (watch_.ready(file.name, stamp)) ready.push_back(file);
        }
        for (SendOutcome outcome : sendAll(ready)) {
            if (outcome == SendOutcome::ServerFailed) {
                err_ << "エラー: 送信できませんでした: " << lastServerFailure_ << "\n";
                return false;
            }
        }
        if (waiting) pause(std::chrono::milliseconds(200), nullptr);
    }
    // The viewer goes beside the meet, never in its way: its failure is told
    // and counted at the end.
    bool viewerWhole = sendViewer();
    // The browsers' data of what the server now holds.
    if (!sendWebData()) {
        err_ << "エラー: 送信できませんでした: " << lastServerFailure_ << "\n";
        return false;
    }
    if (heldBack) {
        err_ << "大会一覧には加えません。\n";
        return false;
    }
    bool listed = addListEntry();
    if (listed) listed = addWebSeasonEntry();
    std::vector<std::string> missing = notOnServer();
    if (!missing.empty()) err_ << "サーバーにまだないもの: " << joined(missing) << "\n";
    return listed && missing.empty() && viewerWhole;
}

Publisher::Look Publisher::lookOnce(bool everyFile) {
    Look look;
    // Every file is looked at, so that the look that finds the server back
    // sends all that changed meanwhile; the files of the look go together.
    std::vector<MeetFileOnServer> due;
    for (const MeetFileOnServer& file : meetFiles()) {
        bool ready = watch_.ready(file.name, stampOf(hostPath(file.localPath)));
        if (ready || everyFile) due.push_back(file);
    }
    for (SendOutcome outcome : sendAll(due)) {
        if (outcome == SendOutcome::Sent) ++look.sent;
        if (outcome == SendOutcome::ServerFailed) look.serverFailed = true;
    }
    if (look.serverFailed) look.failure = lastServerFailure_;
    if (!look.serverFailed && !listed_) {
        bool allThere = true;
        for (const MeetFileOnServer& file : meetFiles()) allThere &= watch_.everSent(file.name);
        if (allThere && !addListEntry(true) && !lastServerFailure_.empty()) {
            look.serverFailed = true;
            look.failure = lastServerFailure_;
        }
    }
    // The viewer once a run, at the first look the server answers.
    if (!look.serverFailed && viewerDue_) {
        viewerDue_ = false;
        sendViewer();
    }
    if (!look.serverFailed && !sendWebData()) {
        look.serverFailed = true;
        look.failure = lastServerFailure_;
    }
    out_.flush();
    return look;
}

bool Publisher::watch(const std::atomic<bool>& stop, std::chrono::milliseconds interval) {
    bool stopped = false;  // sending has stopped: the server is away or failing
    for (bool first = true; !stop.load(); first = false) {
        if (!first) pause(interval, &stop);
        if (stop.load()) break;
        lastServerFailure_.clear();
        Look look = lookOnce(first);
        if (first) {
            out_ << "変更を見張っています (Ctrl+C で終了)\n";
            out_.flush();
        }
        if (look.serverFailed && !stop.load()) {
            if (!stopped) {
                err_ << "送信が止まりました: " << look.failure
                     << "。サーバーが戻るまで送り直し続けます\n";
                err_.flush();
            }
            stopped = true;
        } else if (stopped && !look.serverFailed) {
            out_ << "再開しました（" << look.sent << " ファイルを送信）\n";
            out_.flush();
            stopped = false;
        }
    }
    std::vector<std::string> missing = notOnServer();
    if (!missing.empty()) {
        err_ << "サーバーにまだないもの: " << joined(missing) << "\n";
        return false;
    }
    out_ << "サーバーはフォルダと同じです\n";
    return true;
}

}  // namespace quendro
