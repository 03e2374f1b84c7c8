#include "store/results_file.h"

#include <gtest/gtest.h>

#include "platform/text_rules.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

// Where the results file is, by the one rule of the window and the programs,
// on real files: the data folder D:\copy\ is a copy of the meet folder
// D:\meet\, whose header says the results lie in X:\meet\kekka\.
TEST(ResultsFile, FoundByTheOneRuleInItsOrder) {
    struct Case {
        const char* what;
        std::vector<const char*> present;  // files under drive D
        std::u16string folder;             // the data folder
        int fields;                        // of the meet header; below 2 it names no file
        std::optional<std::u16string> given;
        std::u16string found;  // empty: none is there
        std::u16string named;  // the path named
    };
    const Case cases[] = {
        {"the copy's own results, never the original's", {"copy/kekka/KEKKA.DAT", "meet/kekka/KEKKA.DAT"},
         u"D:\\copy\\", 73, {}, u"D:\\copy\\kekka\\KEKKA.DAT", {}},
        {"the header's folder on the data folder's drive", {"meet/kekka/KEKKA.DAT"},
         u"D:\\copy\\", 73, {}, u"D:\\meet\\kekka\\KEKKA.DAT", {}},
        {"the data folder itself", {"copy/KEKKA.DAT"}, u"D:\\copy\\", 73, {}, u"D:\\copy\\KEKKA.DAT", {}},
        {"none: the header's own path is named", {}, u"D:\\copy\\", 73, {}, {},
         u"D:\\meet\\kekka\\KEKKA.DAT"},
        {"a host path lends no drive letter", {"meet/kekka/KEKKA.DAT"}, u"/nowhere/copy", 73, {}, {},
         u"/nowhere/copy\\kekka\\KEKKA.DAT"},
        {"a header of one field names none: the site's", {"site/S.DAT", "copy/kekka/KEKKA.DAT"},
         u"D:\\copy\\", 1, {}, u"D:\\site\\S.DAT", {}},
        {"a header of two fields names one", {"copy/kekka/KEKKA.DAT", "site/S.DAT"}, u"D:\\copy\\", 2, {},
         u"D:\\copy\\kekka\\KEKKA.DAT", {}},
        {"the given file, over all", {"copy/kekka/KEKKA.DAT", "other/R.DAT"}, u"D:\\copy\\", 73,
         u"D:\\other\\R.DAT", u"D:\\other\\R.DAT", {}},
        {"the given file, missing", {"copy/kekka/KEKKA.DAT"}, u"D:\\copy\\", 73, u"D:\\other\\R.DAT", {},
         u"D:\\other\\R.DAT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestMachine m;
        for (const char* file : c.present) test::writeFile(m.driveD() / file, "results");
        MeetHeader header;
        header.fieldCount = c.fields;
        if (c.fields >= 1) header.resultFolder = u"X:\\meet\\kekka\\";
        if (c.fields >= 2) header.resultFile = u"KEKKA.DAT";
        SiteControl site{u"D:\\data\\", u"D:\\site\\", u"S.DAT"};
        ResultsFileChoice choice = locateResultsFile(m.files(), c.folder, header, site, c.given);
        EXPECT_EQ(choice.found, !c.found.empty());
        EXPECT_EQ(choice.path, c.found.empty() ? c.named : c.found) << toUtf8(choice.path);
    }
}

}  // namespace
}  // namespace quendro
