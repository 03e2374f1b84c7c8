#include "cli/publish/meet_sender.h"

#include "cli/publish/meet_payload.h"
#include "platform/address_sign_in.h"

namespace quendro {

MeetSender::Outgoing MeetSender::prepare(const MeetFileOnServer& file) {
    Outgoing out;
    ChangeWatch& watch = p_.folder.watch();
    out.stamp = p_.folder.stampOf(file);
    bool rested = file.kind == MeetFileOnServer::Kind::Lap && watch.rested(file.name, out.stamp);
    MeetPayload payload = meetPayloadOf(p_.files, p_.source, file, rested);
    if (payload.state == MeetPayload::State::HeldBack) {
        // A file gone or unreadable is tried again at the next look; gone with
        // its folder, it is the share away, which the watch tells once.
        bool unread = payload.problem == MeetFileProblem::Missing ||
                      payload.problem == MeetFileProblem::Unreadable;
        if (!unread || p_.folder.seen()) {
            p_.told.tell(file.name,
                         "エラー: " + shown(meetFileProblemWord(payload.problem, file.localPath)) +
                             "。送らずにサーバーの前の版を残します");
        }
        watch.sent(file.name, out.stamp,
                   unread ? ChangeWatch::Held::Unread : ChangeWatch::Held::Back);
        out.outcome = SendOutcome::HeldBack;
        return out;
    }
    out.bytes = std::move(payload.bytes);
    out.held = payload.held;
    if (payload.state == MeetPayload::State::Waiting) {
        watch.sent(file.name, out.stamp, out.held);
        out.outcome = SendOutcome::Waiting;
        return out;
    }
    // A lap file read while the timing system rewrites it may hold fewer lines
    // than the server has: it goes once it has come to rest.
    if (file.kind == MeetFileOnServer::Kind::Lap && watch.moving(file.name) &&
        out.bytes.size() < lapLength_[file.name]) {
        out.outcome = SendOutcome::Waiting;
        return out;
    }
    p_.told.settled(file.name);
    bool unchanged = p_.uploader.holds(meetUrl_ + file.name, out.bytes);
    p_.web.note(file, out.bytes, !unchanged);
    if (unchanged) {
        watch.sent(file.name, out.stamp, out.held);  // touched, but the same bytes
        out.outcome = SendOutcome::Unchanged;
    }
    return out;
}

SendOutcome MeetSender::finish(const MeetFileOnServer& file, const Outgoing& outgoing,
                               const Uploader::Sent& sent, std::string& failure) {
    if (!sent.ok) {
        if (failure.empty()) failure = sent.failure;
        return SendOutcome::ServerFailed;
    }
    out_ << "送信しました: " << withoutPassword(meetUrl_ + file.name) << " ("
         << outgoing.bytes.size() << " バイト"
         << (outgoing.held == ChangeWatch::Held::Lines ? "、書きかけの最後の行は待ちます" : "")
         << ")\n";
    p_.folder.watch().sent(file.name, outgoing.stamp, outgoing.held);
    if (file.kind == MeetFileOnServer::Kind::Lap) lapLength_[file.name] = outgoing.bytes.size();
    return SendOutcome::Sent;
}

std::vector<SendOutcome> MeetSender::sendAll(const std::vector<MeetFileOnServer>& files,
                                             std::string& failure) {
    std::vector<SendOutcome> outcomes(files.size(), SendOutcome::ServerFailed);
    if (files.empty()) return outcomes;
    failure.clear();
    if (!p_.uploader.learnStorage(failure)) return outcomes;
    // The heat table goes in a second batch, after every other file is there.
    for (bool heatTable : {false, true}) {
        std::vector<size_t> due;
        std::vector<Outgoing> outgoing;
        for (size_t i = 0; i < files.size(); ++i) {
            if ((files[i].kind == MeetFileOnServer::Kind::Heats) != heatTable) continue;
            Outgoing one = prepare(files[i]);
            outcomes[i] = one.outcome;
            if (one.outcome != SendOutcome::Sent) continue;
            due.push_back(i);
            outgoing.push_back(std::move(one));
        }
        std::vector<std::pair<std::string, const std::string*>> uploads;
        for (size_t k = 0; k < due.size(); ++k)
            uploads.emplace_back(meetUrl_ + files[due[k]].name, &outgoing[k].bytes);
        std::vector<Uploader::Sent> sent = p_.uploader.putAll(uploads);
        bool failed = false;
        for (size_t k = 0; k < due.size(); ++k) {
            outcomes[due[k]] = finish(files[due[k]], outgoing[k], sent[k], failure);
            failed |= outcomes[due[k]] == SendOutcome::ServerFailed;
        }
        if (failed) break;
    }
    return outcomes;
}

}  // namespace quendro
