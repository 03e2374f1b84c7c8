#include "cli/publish/season_entry.h"

#include <random>
#include <thread>

#include "cli/publish/failure_words.h"
#include "store/meet_code.h"
#include "store/season_list.h"

namespace quendro {

SeasonEntryResult putMeetInSeasonList(const HttpClient& http, const std::string& listUrl,
                                      std::u16string_view meetCode,
                                      std::u16string_view abbreviation,
                                      const SeasonEntryPacing& pacing) {
    if (!isListedMeetCode(meetCode)) return SeasonEntryResult{SeasonEntry::NotListable, 0, {}};
    SeasonFileEntry entry;
    entry.keep = [](const std::string& before, const std::string& now) {
        // A list that is not whole is not added to at all (put says why).
        if (seasonListShape(now) != SeasonListShape::Whole) return now;
        return seasonListWithEntries(now, seasonListLacks(before, now));
    };
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
    std::string before;  // the list that the last upload added to
    for (;;) {
        HttpAnswer current = http.get(listUrl);
        // A season without a list yet starts one; a list that cannot be read is
        // never replaced, so that no other meet's entry is lost.
        if (!current.ok() && current.status != 404) {
            result.outcome = SeasonEntry::Unreadable;
            result.detail = answerWords(current);
            return result;
        }
        // A body that ended only with the connection may have lost entries:
        // it is never sent back.
        bool unstated = current.ok() && !current.lengthStated;
        std::string list = current.ok() ? std::move(current.body) : std::string();
        // After an upload, the entries of the list it added to are read back
        // too: one that went missing is put back.
        std::string kept = result.uploads > 0 && entry.keep ? entry.keep(before, list) : list;
        bool earlierKept = kept == list;
        // Read back, the list may have grown past the bounds by this very entry.
        if (earlierKept && entry.holds(list)) {
            result.outcome = result.uploads == 0 ? SeasonEntry::AlreadyListed : SeasonEntry::Added;
            return result;
        }
        std::string withEntry;
        switch (entry.put(kept, withEntry)) {
            case SeasonListShape::Whole:
                break;
            case SeasonListShape::CutShort:
                result.outcome = SeasonEntry::CutShort;
                return result;
            case SeasonListShape::TooLarge:
                result.outcome = SeasonEntry::TooLarge;
                return result;
        }
        if (unstated) {
            result.outcome = SeasonEntry::Unstated;
            return result;
        }
        if (result.uploads >= pacing.uploadsAtMost) {
            result.outcome = earlierKept ? SeasonEntry::Lost : SeasonEntry::EarlierLost;
            return result;
        }
        HttpAnswer answer = http.put(listUrl, withEntry);
        if (!answer.ok()) {
            result.outcome = SeasonEntry::Refused;
            result.detail = answerWords(answer);
            return result;
        }
        ++result.uploads;
        before = std::move(kept);
        // Another publisher that read the list before this upload sends its own
        // within this while; the read-back comes after it.
        std::this_thread::sleep_for(std::chrono::milliseconds(settle(random)));
    }
}

}  // namespace quendro
