#include "app/meet_list_outcome.h"

#include "meet/status_words.h"
#include "store/season_list.h"

namespace quendro {

MeetListOutcome meetListOutcomeOf(const Download& fetched) {
    if (noServerAnswered(fetched.failure)) return MeetListOutcome::NoServer;
    if (fetched.failure == DownloadFailure::ErrorStatus && fetched.status == 404)
        return MeetListOutcome::NoFolder;
    if (!fetched.ok()) return MeetListOutcome::Failed;
    // No season holds more than a megabyte of meets.
    if (seasonListShape(fetched.body) == SeasonListShape::TooLarge) return MeetListOutcome::TooLarge;
    switch (seasonListContent(fetched.body)) {
        case SeasonListContent::Meets: return MeetListOutcome::Listed;
        case SeasonListContent::NoMeets: return MeetListOutcome::NoListYet;
        case SeasonListContent::NotAList: return MeetListOutcome::NotAList;
    }
    return MeetListOutcome::NotAList;
}

std::u16string meetListWord(MeetListOutcome outcome, std::u16string_view listUrl,
                            const Download& fetched, FileStatus written) {
    const std::u16string url(listUrl);
    switch (outcome) {
        case MeetListOutcome::NotRun:
        case MeetListOutcome::Listed: return u"";
        case MeetListOutcome::NoListYet: return u"この年度の大会一覧はまだありません: " + url;
        case MeetListOutcome::NoFolder: {
            // The season's folder, where the list would be.
            std::u16string folder = url.substr(0, url.rfind(u'/') + 1);
            return u"サーバーにこの年度のフォルダがありません: " + folder;
        }
        case MeetListOutcome::NotAList:
            return u"サーバーの答えは大会一覧ではありません: " + url;
        case MeetListOutcome::TooLarge: return seasonListTooLargeWord(url);
        case MeetListOutcome::NoServer:
        case MeetListOutcome::Failed:
            return u"大会一覧を読み込めませんでした (" + downloadFailureWord(fetched) + u"): " + url;
        case MeetListOutcome::Unsaved: return workingFolderWord(written);
    }
    return u"";
}

}  // namespace quendro
