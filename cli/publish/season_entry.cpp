#include "cli/publish/season_entry.h"

#include <random>
#include <thread>

#include "cli/publish/failure_words.h"
#include "store/season_list.h"

namespace quendro {

SeasonEntryResult putMeetInSeasonList(const HttpClient& http, const std::string& listUrl,
                                      std::u16string_view meetCode,
                                      std::u16string_view abbreviation,
                                      const SeasonEntryPacing& pacing) {
    SeasonFileEntry entry;
    entry.holds = [&](const std::string& list) { return seasonListHasMeet(list, meetCode); };
    entry.put = [&](const std::string& list, std::string& withEntry) {
        SeasonListShape shape = seasonListShape(list);
        if (shape == SeasonListShape::Whole)
            withEntry = seasonListWithMeet(list, meetCode, abbreviation);
        return shape;
    };
    return putEntryInSeasonFile(http, listUrl, entry, pacing);
}

SeasonEntryResult putEntryInSeasonFile(const HttpClient& http, const std::string& listUrl,
                                       const SeasonFileEntry& entry,
                                       const SeasonEntryPacing& pacing) {
    SeasonEntryResult result;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> settle(pacing.settleLeast.count(),
                                               pacing.settleMost.count());
    for (;;) {
        HttpAnswer current = http.get(listUrl);
        // A season without a list yet starts one; a list that cannot be read is
        // never replaced, so that no other meet's entry is lost.
        if (!current.ok() && current.status != 404) {
            result.outcome = SeasonEntry::Unreadable;
            result.detail = answerWords(current);
            return result;
        }
        std::string list = current.ok() ? std::move(current.body) : std::string();
        // Read back, the list may have grown past the bounds by this very entry.
        if (entry.holds(list)) {
            result.outcome = result.uploads == 0 ? SeasonEntry::AlreadyListed : SeasonEntry::Added;
            return result;
        }
        std::string withEntry;
        switch (entry.put(list, withEntry)) {
            case SeasonListShape::Whole:
                break;
            case SeasonListShape::CutShort:
                result.outcome = SeasonEntry::CutShort;
                return result;
            case SeasonListShape::TooLarge:
                result.outcome = SeasonEntry::TooLarge;
                return result;
        }
        if (result.uploads >= pacing.uploadsAtMost) {
            result.outcome = SeasonEntry::Lost;
            return result;
        }
        HttpAnswer answer = http.put(listUrl, withEntry);
        if (!answer.ok()) {
            result.outcome = SeasonEntry::Refused;
            result.detail = answerWords(answer);
            return result;
        }
        ++result.uploads;
        // Another publisher that read the list before this upload sends its own
        // within this while; the read-back comes after it.
        std::this_thread::sleep_for(std::chrono::milliseconds(settle(random)));
    }
}

}  // namespace quendro
