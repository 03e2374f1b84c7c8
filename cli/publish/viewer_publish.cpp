// The web viewer put at the site's root, beside the season folders.
#include "cli/publish/viewer_publish.h"

#include "cli/publish/telling.h"
#include "cli/publish/viewer_files.h"
#include "platform/address_sign_in.h"
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

}  // namespace

bool sendViewer(const PublishOptions& options, FileSystem& files, Uploader& uploader,
                std::ostream& out, std::ostream& err) {
    if (options.viewerFolder.empty()) return true;
    const std::string folderShown = shown(fromUtf8(options.viewerFolder.string()));
    ViewerFiles viewer = listViewerFiles(options.viewerFolder);
    switch (viewer.outcome) {
        case ViewerListing::Listed:
            break;
        case ViewerListing::Missing:
            if (!options.viewerChosen) {
                out << "ビューアのフォルダがないので、ビューアは送りません: " << folderShown << "\n";
                return true;
            }
            err << "エラー: ビューアのフォルダがありません: " << folderShown << "\n";
            return false;
        case ViewerListing::TooMany:
            err << "エラー: ビューアのファイルが " << kViewerMaxFiles
                << " より多いので、ビューアは送りません: " << folderShown << "\n";
            return false;
        case ViewerListing::TooLarge:
            err << "エラー: ビューアのファイルが合わせて " << kViewerMaxBytes
                << " バイトより大きいので、ビューアは送りません: " << folderShown << "\n";
            return false;
    }
    for (const ViewerSkipped& skipped : viewer.skipped)
        err << "注意: ビューアの " << shown(fromUtf8(skipped.name)) << " は" << skipWords(skipped.why)
            << "\n";
    const std::string root = siteRootOf(options.baseUrl);
    int sent = 0;
    bool whole = true;
    for (const ViewerFile& file : viewer.files) {
        std::string bytes;
        if (files.readBytes(fromUtf8(file.host.string()), bytes) != FileStatus::Ok) {
            err << "エラー: ビューアのファイルを読めません: " << file.name << "\n";
            whole = false;
            continue;
        }
        std::string failure;
        switch (uploader.putUnlessHeld(root + file.name, bytes, failure)) {
            case Uploader::Plain::Held:
                continue;
            case Uploader::Plain::Sent:
                ++sent;
                continue;
            case Uploader::Plain::Failed:
                err << "エラー: ビューアを送信できませんでした: " << failure << "\n";
                return false;
        }
    }
    if (sent > 0)
        out << "ビューアを送信しました: " << sent << " ファイル (" << withoutPassword(root) << ")\n";
    else if (whole)
        out << "ビューアはサーバーと同じです (" << withoutPassword(root) << ")\n";
    return whole;
}

}  // namespace quendro
