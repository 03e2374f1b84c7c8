// The web viewer put at the site's root, beside the season folders.
#include "cli/publish/publisher.h"
#include "cli/publish/viewer_files.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

std::string skipWords(ViewerSkip why) {
    switch (why) {
        case ViewerSkip::Link:
            return "リンクは送りません";
        case ViewerSkip::NotRegular:
            return "普通のファイルではないので送りません";
        case ViewerSkip::BadName:
            return "使えない名前なので送りません";
    }
    return "";
}

std::string failureOf(const std::string& url, const HttpAnswer& answer) {
    return withoutPassword(url) + ": " +
           (answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error);
}

}  // namespace

bool Publisher::sendViewer() {
    if (options_.viewerFolder.empty()) return true;
    const std::string folderShown =
        toUtf8(visibleText(fromUtf8(options_.viewerFolder.string())));
    ViewerFiles viewer = listViewerFiles(options_.viewerFolder);
    switch (viewer.outcome) {
        case ViewerListing::Listed:
            break;
        case ViewerListing::Missing:
            if (!options_.viewerChosen) {
                out_ << "ビューアのフォルダがないので、ビューアは送りません: " << folderShown << "\n";
                return true;
            }
            err_ << "エラー: ビューアのフォルダがありません: " << folderShown << "\n";
            return false;
        case ViewerListing::TooMany:
            err_ << "エラー: ビューアのファイルが " << kViewerMaxFiles
                 << " より多いので、ビューアは送りません: " << folderShown << "\n";
            return false;
        case ViewerListing::TooLarge:
            err_ << "エラー: ビューアのファイルが合わせて " << kViewerMaxBytes
                 << " バイトより大きいので、ビューアは送りません: " << folderShown << "\n";
            return false;
    }
    for (const ViewerSkipped& skipped : viewer.skipped) {
        err_ << "注意: ビューアの " << toUtf8(visibleText(fromUtf8(skipped.name))) << " は"
             << skipWords(skipped.why) << "\n";
    }
    const std::string root = siteRootOf(options_.baseUrl);
    int sent = 0;
    bool whole = true;
    for (const ViewerFile& file : viewer.files) {
        std::string bytes;
        if (files_.readBytes(fromUtf8(file.host.string()), bytes) != FileStatus::Ok) {
            err_ << "エラー: ビューアのファイルを読めません: " << file.name << "\n";
            whole = false;
            continue;
        }
        // Digests share the map of the meet's files, under the site's path.
        const std::string key = "/" + file.name;
        std::size_t digest = std::hash<std::string>{}(bytes);
        auto last = sentDigest_.find(key);
        if (last != sentDigest_.end() && last->second == digest) continue;
        const std::string url = root + file.name;
        // A server that holds these very bytes (from an earlier run, or the
        // publisher's own copy at its start) is not sent them again.
        HttpAnswer held = http_.get(url);
        if (held.status == 200 && held.body == bytes) {
            sentDigest_[key] = digest;
            continue;
        }
        HttpAnswer answer = http_.put(url, bytes);
        if (!answer.ok()) {
            err_ << "エラー: ビューアを送信できませんでした: " << failureOf(url, answer) << "\n";
            return false;
        }
        sentDigest_[key] = digest;
        ++sent;
    }
    if (sent > 0)
        out_ << "ビューアを送信しました: " << sent << " ファイル (" << withoutPassword(root) << ")\n";
    else if (whole)
        out_ << "ビューアはサーバーと同じです (" << withoutPassword(root) << ")\n";
    return whole;
}

}  // namespace quendro
