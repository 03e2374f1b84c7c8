#include "cli/publish/publisher.h"

#include "cli/publish/web_publish.h"
#include "platform/address_sign_in.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/server_addresses.h"

namespace quendro {

Publisher::Parts::Parts(Publisher& p, const std::string& seasonUrl, const std::string& meetUrl)
    : folder(p.files_, *p.source_, p.told_),
      uploader(p.http_, seasonUrl + "list.txt", p.out_),
      web(p.files_, *p.source_, p.options_.season),
      listing(p.http_, seasonUrl, p.source_->header, p.told_, p.out_, p.err_),
      sender({p.files_, *p.source_, folder, uploader, web, p.told_}, meetUrl, p.out_) {}

Publisher::Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out,
                     std::ostream& err)
    : files_(files), http_(http), out_(out), err_(err), told_(err) {}

Publisher::~Publisher() = default;

bool Publisher::prepare(const PublishOptions& options) {
    options_ = options;
    if (!options_.baseUrl.empty() && options_.baseUrl.back() != '/') options_.baseUrl += '/';
    std::u16string error;
    source_ = findMeetSource(files_, options_.meetFolder, options_.resultsFile, error);
    if (!source_) {
        err_ << "エラー: " << shown(error) << "\n";
        return false;
    }
    // The code names the meet's folder on the server: a name, never a path.
    if (!isMeetCodeName(source_->header.meetCode)) {
        err_ << "エラー: " << toUtf8(meetCodeRefusal(source_->header.meetCode)) << ": "
             << shown(shownPath(source_->headerPath)) << "\n";
        return false;
    }
    // Every publish puts the meet in its season's list, which reads the first
    // seven characters of an entry as the code: a shorter code is never sent.
    if (!isListedMeetCode(source_->header.meetCode)) {
        err_ << "エラー: " << toUtf8(listedMeetCodeRefusal(source_->header.meetCode)) << ": "
             << shown(shownPath(source_->headerPath)) << "\n";
        return false;
    }
    out_ << "大会 " << shown(source_->header.meetCode) << " " << shown(source_->header.abbreviation)
         << " (" << shown(shownPath(source_->folder)) << ")\n"
         << "結果ファイル: " << shown(shownPath(source_->resultsPath)) << "\n";
    parts_ = std::make_unique<Parts>(*this, seasonUrl(), meetUrl());
    return true;
}

std::string Publisher::seasonUrl() const {
    return toUtf8(seasonFolderUrl(fromUtf8(options_.baseUrl), options_.season));
}

std::string Publisher::meetUrl() const {
    return toUtf8(
        meetFolderUrl(fromUtf8(options_.baseUrl), options_.season, source_->header.meetCode));
}

bool Publisher::sendWebData() {
    WebData& web = parts_->web;
    SeasonListing& listing = parts_->listing;
    if (!quendro::sendWebData(web, parts_->uploader, meetUrl(), out_, lastServerFailure_))
        return false;
    if (listing.listed() && web.meet() && !listing.webListed(web.meet()))
        return listing.addWebEntry(web.meet(), true, lastServerFailure_);
    return true;
}

std::vector<std::string> Publisher::notOnServer() {
    std::vector<std::string> missing;
    for (const MeetFileOnServer& file : parts_->folder.files()) {
        if (!parts_->folder.holds(file)) missing.push_back(file.name);
    }
    bool listed = parts_->listing.listed();
    if (!listed) missing.push_back("大会一覧 (list.txt) の項目");
    if (!parts_->web.whole()) missing.push_back("ウェブ用データ (web/)");
    if (listed && !parts_->listing.webListed(parts_->web.meet()))
        missing.push_back("ウェブ用の大会一覧 (web/meets.json) の項目");
    return missing;
}

bool Publisher::readBackHolds(std::chrono::milliseconds within) {
    Uploader::ReadBack back = parts_->uploader.readBack(within);
    switch (back.outcome) {
        case Uploader::ReadBack::Outcome::Same:
            return true;
        case Uploader::ReadBack::Outcome::Differs: {
            std::string names;
            for (const std::string& url : back.differing)
                names += (names.empty() ? "" : ", ") + withoutPassword(url);
            err_ << "サーバーの版がフォルダと違うもの: " << names << "\n";
            return false;
        }
        case Uploader::ReadBack::Outcome::Unchecked:
            break;
    }
    err_ << "サーバーがフォルダと同じか確認できませんでした（" << within.count()
         << " ミリ秒のうちに答えがありません）: " << back.unanswered << "\n";
    return false;
}

}  // namespace quendro
