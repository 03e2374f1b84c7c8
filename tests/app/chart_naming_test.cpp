#include "app/chart_naming.h"

#include <gtest/gtest.h>

#include "platform/text_rules.h"
#include "reports/html_page.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

TEST(ChartNaming, TheTitleNamesCompetitorEventStageAndMeet) {
    struct Case {
        std::u16string competitor;
        std::u16string_view indexLine;
        std::u16string meet;
        std::u16string title;
    };
    const Case cases[] = {
        {u"山田太郎        ", u"0001212021960000203", u"県選手権",
         u"山田太郎　200m個人メドレー 決勝　県選手権"},
        {u"山田太郎", u"0001031010532000104", u" 県選手権 ", u"山田太郎　100m自由形 予選　県選手権"},
        {u"", u"0001254041000000301", u"県選手権", u"400mメドレーリレー コン　県選手権"},
        {u"山田太郎", u"0001283030500000402", u"", u"山田太郎　400mフリーリレー 準決"},
        // Codes just outside the tables: no event, no stage.
        {u"山田太郎", u"0001302010000000701", u"県選手権", u"山田太郎　決勝　県選手権"},
        {u"山田太郎", u"0001035010000000701", u"県選手権", u"山田太郎　100m自由形　県選手権"},
        {u"", u"0001000000000000701", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chartTitle(c.competitor, meetSwimOf(c.indexLine), c.meet), c.title)
            << toUtf8(c.title);
    }
}

TEST(ChartNaming, TheFileNameKeepsOnlyWhatAFileNameMayHold) {
    struct Case {
        std::u16string title;
        std::u16string name;
    };
    const Case cases[] = {
        {u"山田太郎　200m個人メドレー 決勝　県選手権",
         u"山田太郎_200m個人メドレー_決勝_県選手権.png"},
        {u"..\\..\\victim", u".__.__victim.png"},
        {u"a/b:c", u"a_b_c.png"},
        {std::u16string(u"a\0b", 3), u"a_b.png"},
        {u"a\u001fb\u0020c\u0021", u"a_b_c!.png"},  // U+001F and the blank go; U+0021 stays
        {u"a*b?c\"d<e>f|g", u"a_b_c_d_e_f_g.png"},
        {u"a.b", u"a.b.png"},
        {u"a...b", u"a._.b.png"},
        {u"", u"lap.png"},
    };
    for (const Case& c : cases) {
        const std::u16string name = chartFileName(c.title);
        EXPECT_EQ(name, c.name) << toUtf8(c.title);
        EXPECT_EQ(pageNameFault(name), u"") << toUtf8(name);
    }
}

TEST(ChartNaming, TheSaveStartsInTheChosenFolderOrTheWorkingFolder) {
    test::TestMachine m;
    MainWindow window{m.machine()};
    window.webMode = 0;
    window.selectedDir = u"D:\\meet\\";
    EXPECT_EQ(chartFolder(window), u"D:\\meet\\");
    window.selectedDir.clear();
    EXPECT_EQ(chartFolder(window), u"c:\\quendro\\temp\\");
    window.selectedDir = u"D:\\meet\\";
    window.webMode = 1;
    EXPECT_EQ(chartFolder(window), u"c:\\quendro\\temp\\");
}

}  // namespace
}  // namespace quendro
