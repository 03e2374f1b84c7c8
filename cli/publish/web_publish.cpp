// The publisher's web data: the JSON a browser reads, made by the core from
// the meet's files as they were sent, and sent beside them.
#include "cli/publish/web_publish.h"

#include <utility>
#include <vector>

#include "platform/address_sign_in.h"

namespace quendro {
namespace {

// The files whose bytes changed, together; false when the server failed.
bool putChanged(const std::vector<std::pair<std::string, std::string>>& files,
                Uploader& uploader, const std::string& webUrl, int& sent, std::string& failure) {
    std::vector<std::pair<std::string, const std::string*>> due;
    for (const auto& [path, bytes] : files) {
        if (!uploader.holds(webUrl + path, bytes)) due.emplace_back(webUrl + path, &bytes);
    }
    if (due.empty()) return true;
    if (!uploader.learnStorage(failure)) return false;
    bool whole = true;
    for (const Uploader::Sent& one : uploader.putAll(due)) {
        if (!one.ok) {
            if (whole) failure = one.failure;
            whole = false;
            continue;
        }
        ++sent;
    }
    return whole;
}

}  // namespace

bool sendWebData(WebData& web, Uploader& uploader, const std::string& meetUrl, std::ostream& out,
                 std::string& failure) {
    int sent = 0;
    WebData::Due due = web.due();
    if (!web.meet()) return true;
    const std::string webUrl = meetUrl + "web/";
    if (!putChanged(due.files, uploader, webUrl, sent, failure)) return false;
    web.heatsSent();
    if (!putChanged({{"now.json", due.nowJson}}, uploader, webUrl, sent, failure)) return false;
    if (!due.meetJson.empty()) {
        if (!putChanged({{"meet.json", due.meetJson}}, uploader, webUrl, sent, failure))
            return false;
        web.meetSent();
    }
    if (sent > 0) {
        out << "ウェブ用データを送信しました: " << sent << " ファイル ("
            << withoutPassword(webUrl) << ")\n";
    }
    return true;
}

}  // namespace quendro
