// The meet's files on their way to the server: read and checked one by one,
// then sent together, so that a server far away costs a few round trips for
// the whole meet rather than one for each file.
#include <functional>

#include "cli/publish/publisher.h"
#include "platform/gzip.h"
#include "platform/text_rules.h"
#include "store/ind2_table.h"

namespace quendro {

bool Publisher::learnStorage() {
    if (storesGzip_) return true;
    // Any answer will do, a 404 too: the header comes with every answer.
    std::string url = seasonUrl() + "list.txt";
    HttpAnswer answer = http_.get(url);
    if (!answer.answered()) {
        lastServerFailure_ = withoutPassword(url) + ": " + answer.error;
        return false;
    }
    storesGzip_ = answer.storesGzip;
    if (*storesGzip_)
        out_ << "サーバーは gzip で保存します: 大会のファイルとウェブ用データを .gz で送ります\n";
    return true;
}

std::vector<HttpAnswer> Publisher::putMeetFiles(
    const std::vector<std::pair<std::string, const std::string*>>& files) {
    std::vector<Upload> uploads;
    uploads.reserve(files.size());
    for (const auto& [path, bytes] : files)
        uploads.push_back({putUrl(path), storesGzip() ? gzipBytes(*bytes) : *bytes});
    return http_.putAll(uploads);
}

std::string Publisher::putUrl(const std::string& path) const {
    return meetUrl() + path + (storesGzip() ? ".gz" : "");
}

std::string Publisher::putFailure(const std::string& path, const HttpAnswer& answer) const {
    return withoutPassword(putUrl(path)) + ": " +
           (answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error);
}

Publisher::Outgoing Publisher::prepareSend(const MeetFileOnServer& file) {
    Outgoing out;
    out.stamp = stampOf(hostPath(file.localPath));
    std::string& bytes = out.bytes;
    if (!readBytesOf(file, bytes)) {
        watch_.sent(file.name, out.stamp, ChangeWatch::Held::Back);
        out.outcome = SendOutcome::HeldBack;
        return out;
    }
    switch (file.kind) {
        case MeetFileOnServer::Kind::Copy:
            break;
        case MeetFileOnServer::Kind::Lap: {
            std::string_view lines = wholeLinesOf(bytes, watch_.rested(file.name, out.stamp));
            if (lines.size() != bytes.size()) {
                out.held = ChangeWatch::Held::Lines;
                bytes.resize(lines.size());
            }
            if (bytes.empty() && out.held == ChangeWatch::Held::Lines) {
                watch_.sent(file.name, out.stamp, out.held);
                out.outcome = SendOutcome::Waiting;
                return out;
            }
            break;
        }
        case MeetFileOnServer::Kind::Heats:
        case MeetFileOnServer::Kind::Ind2: {
            // The reader took it only whole: every counted record is there.
            bool heats = file.kind == MeetFileOnServer::Kind::Heats;
            if (!heats) bytes = ind2FromResults(bytes).bytes;
            break;
        }
    }
    told_.erase(file.name);
    out.digest = std::hash<std::string>{}(bytes);
    auto last = sentDigest_.find(file.name);
    noteForWeb(file, bytes, last == sentDigest_.end() || last->second != out.digest);
    if (last != sentDigest_.end() && last->second == out.digest) {
        watch_.sent(file.name, out.stamp, out.held);  // touched, but the same bytes
        out.outcome = SendOutcome::Unchanged;
    }
    return out;
}

SendOutcome Publisher::finishSend(const MeetFileOnServer& file, const Outgoing& outgoing,
                                  const HttpAnswer& answer) {
    std::string url = meetUrl() + file.name;
    if (!answer.ok()) {
        if (lastServerFailure_.empty()) lastServerFailure_ = putFailure(file.name, answer);
        return SendOutcome::ServerFailed;
    }
    out_ << "送信しました: " << withoutPassword(url) << " (" << outgoing.bytes.size() << " バイト"
         << (outgoing.held == ChangeWatch::Held::Lines ? "、書きかけの最後の行は待ちます" : "")
         << ")\n";
    sentDigest_[file.name] = outgoing.digest;
    watch_.sent(file.name, outgoing.stamp, outgoing.held);
    return SendOutcome::Sent;
}

std::vector<SendOutcome> Publisher::sendAll(const std::vector<MeetFileOnServer>& files) {
    std::vector<SendOutcome> outcomes(files.size(), SendOutcome::ServerFailed);
    if (files.empty()) return outcomes;
    lastServerFailure_.clear();
    if (!learnStorage()) return outcomes;
    // The heat table goes in a second batch, after every other file is there.
    for (bool heatTable : {false, true}) {
        std::vector<size_t> due;
        std::vector<Outgoing> outgoing;
        for (size_t i = 0; i < files.size(); ++i) {
            if ((files[i].kind == MeetFileOnServer::Kind::Heats) != heatTable) continue;
            Outgoing one = prepareSend(files[i]);
            outcomes[i] = one.outcome;
            if (one.outcome != SendOutcome::Sent) continue;
            due.push_back(i);
            outgoing.push_back(std::move(one));
        }
        std::vector<std::pair<std::string, const std::string*>> uploads;
        for (size_t k = 0; k < due.size(); ++k)
            uploads.emplace_back(files[due[k]].name, &outgoing[k].bytes);
        std::vector<HttpAnswer> answers = putMeetFiles(uploads);
        bool failed = false;
        for (size_t k = 0; k < due.size(); ++k) {
            outcomes[due[k]] = finishSend(files[due[k]], outgoing[k], answers[k]);
            failed |= outcomes[due[k]] == SendOutcome::ServerFailed;
        }
        if (failed) break;
    }
    return outcomes;
}

}  // namespace quendro
