#include "cli/publish/season_listing.h"

#include "cli/publish/failure_words.h"
#include "cli/publish/season_entry.h"
#include "platform/address_sign_in.h"
#include "platform/text_rules.h"
#include "reports/web_json.h"
#include "store/meet_code.h"

namespace quendro {

bool SeasonListing::addListEntry(bool quietServer, std::string& failure) {
    std::string listUrl = seasonUrl_ + "list.txt";
    std::string shownUrl = withoutPassword(listUrl);
    SeasonEntryResult result =
        putMeetInSeasonList(http_, listUrl, header_.meetCode, header_.abbreviation);
    switch (result.outcome) {
        case SeasonEntry::Added:
            out_ << "大会一覧に加えました: " << shownUrl << "\n";
            break;
        case SeasonEntry::AlreadyListed:
            out_ << "大会一覧には既にあります: " << shownUrl << "\n";
            break;
        case SeasonEntry::Unreadable:
            failure = failureWords(listUrl, result.detail);
            if (!quietServer) err_ << "エラー: 大会一覧を読み込めませんでした: " << failure << "\n";
            return false;
        case SeasonEntry::Refused:
            failure = failureWords(listUrl, result.detail);
            if (!quietServer) err_ << "エラー: 大会一覧を送信できませんでした: " << failure << "\n";
            return false;
        case SeasonEntry::CutShort:
            told_.tell("list.txt", "エラー: 大会一覧が途中で切れています。何も送りません: " + shownUrl);
            return false;
        case SeasonEntry::Unstated:
            told_.tell("list.txt", "エラー: 大会一覧の長さをサーバーが示しませんでした"
                                   "（途中で切れていても分かりません）。何も送りません: " +
                                       shownUrl);
            return false;
        case SeasonEntry::TooLarge:
            told_.tell("list.txt", "エラー: 大会一覧が大きすぎます。何も送りません: " + shownUrl);
            return false;
        case SeasonEntry::NotListable:
            told_.tell("list.txt", "エラー: " + toUtf8(listedMeetCodeRefusal(header_.meetCode)) +
                                       "。何も送りません: " + shownUrl);
            return false;
        case SeasonEntry::EarlierLost:
            told_.tell("list.txt", "エラー: 大会一覧を送るたびに、前からあった項目が読み返した一覧から消えました (" +
                                       std::to_string(result.uploads) + " 回): " + shownUrl);
            return false;
        case SeasonEntry::Lost:
            told_.tell("list.txt", "エラー: 大会一覧に加えても、ほかの送信に " +
                                       std::to_string(result.uploads) +
                                       " 回とも上書きされました: " + shownUrl);
            return false;
    }
    told_.settled("list.txt");
    listed_ = true;
    return true;
}

bool SeasonListing::webListed(const WebMeet* meet) const {
    return meet && webLineListed_ == webSeasonLine(*meet);
}

bool SeasonListing::addWebEntry(const WebMeet* meet, bool quietServer, std::string& failure) {
    if (!meet) return true;
    std::string url = seasonUrl_ + "web/meets.json";
    SeasonFileEntry entry;
    entry.holds = [&](const std::string& file) {
        auto with = webSeasonWith(file, *meet);
        return with && *with == file;
    };
    entry.put = [&](const std::string& file, std::string& withEntry) {
        if (file.size() > kSeasonListMaxBytes) return SeasonListShape::TooLarge;
        auto with = webSeasonWith(file, *meet);
        if (!with) return SeasonListShape::CutShort;
        withEntry = *with;
        return SeasonListShape::Whole;
    };
    SeasonEntryResult result = putEntryInSeasonFile(http_, url, entry);
    switch (result.outcome) {
        case SeasonEntry::Added:
        case SeasonEntry::AlreadyListed:
            told_.settled("meets.json");
            webLineListed_ = webSeasonLine(*meet);
            return true;
        case SeasonEntry::Unreadable:
        case SeasonEntry::Refused:
            failure = failureWords(url, result.detail);
            if (!quietServer)
                err_ << "エラー: ウェブ用の大会一覧を送信できませんでした: " << failure << "\n";
            return false;
        case SeasonEntry::CutShort:
        case SeasonEntry::Unstated:
        case SeasonEntry::TooLarge:
        case SeasonEntry::NotListable:
        case SeasonEntry::Lost:
        case SeasonEntry::EarlierLost:
            told_.tell("meets.json", "エラー: ウェブ用の大会一覧 (meets.json) を書き換えられません: " +
                                         withoutPassword(url));
            return false;
    }
    return false;
}

}  // namespace quendro
