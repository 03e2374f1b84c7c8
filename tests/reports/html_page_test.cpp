#include "reports/html_page.h"

#include <gtest/gtest.h>

#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

std::vector<std::u16string> linesOf(const std::string& bytes) {
    const std::u16string page = decodeShiftJis(bytes);
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t end; (end = page.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
        lines.push_back(page.substr(start, end - start));
    }
    EXPECT_EQ(start, page.size()) << "the page ends with a line end";
    return lines;
}

TEST(HtmlPage, SwimRowWords) {
    struct Case {
        std::u16string row;
        SwimWords words;
    };
    const Case cases[] = {
        {u" 100m自由形 予選  1:05.32", {u"100m自由形 ", u"予選 ", u" 1:05.32"}},
        {u"  25m自由形 決勝    31.25", {u"25m自由形 ", u"決勝 ", u"   31.25"}},
        {u"1500m自由形 予選 17:01.11", {u"1500m自由形 ", u"予選 ", u"17:01.11"}},
        {u" 100m自由形 予選       棄権", {u"100m自由形 ", u"予選 ", u"      棄権"}},
        {u"  abc", {u"", u"", u"abc"}},  // no blank after the leading ones
    };
    for (const Case& c : cases) {
        SwimWords w = swimWords(c.row);
        EXPECT_EQ(w.event, c.words.event);
        EXPECT_EQ(w.stage, c.words.stage);
        EXPECT_EQ(w.time, c.words.time);
    }
    EXPECT_EQ(htmlPagePath(u"D:\\out\\", u"県選"), u"D:\\out\\県選9.html");
    EXPECT_EQ(htmlPagePath(u"D:\\out\\", u""), u"D:\\out\\9.html");
}

TEST(HtmlPage, NoCompetitorsIsThreeLines) {
    HtmlPage page;
    EXPECT_EQ(linesOf(page.finish()),
              (std::vector<std::u16string>{u"<HTML><HEAD><TITLE></TITLE></HEAD><BODY>",
                                           u"<TABLE BORDER=\"0\"  HEIGHT=\"100%\">",
                                           u"</TABLE></BODY></HTML>"}));
}

TEST(HtmlPage, SwimsWithNoneOneAndSixtySplits) {
    CompetitorRecord record{u"0007          ", u"ABC             ", u"CLUB        ", u"99", -3};
    std::array<std::u16string, 60> splits;
    HtmlPage page;
    page.competitor(record);
    page.swim(0, u" 100m自由形 予選  1:05.32", splits, 0);
    splits[0] = u"   31.25";
    page.swim(1, u" 100m自由形 決勝  1:05.32", splits, 1);
    for (int k = 0; k < 60; ++k)
        splits[static_cast<size_t>(k)] = rightAligned(decimalText(10 + k) + u".00", 8);
    splits[5] = u"   10.00";  // earlier than the split before it: an empty lap
    page.swim(2, u"1500m自由形 予選 17:01.11", splits, 60);
    std::vector<std::u16string> lines = linesOf(page.finish());

    std::vector<std::u16string> head(lines.begin() + 2, lines.begin() + 8);
    EXPECT_EQ(head, (std::vector<std::u16string>{
                        u"<TR>", u"<TD>ABC             </TD>", u"<TD>-3</TD>", u"<TD></TD>",
                        u"<TD>CLUB        </TD>", u"<TD>0007          </TD>"}));
    // Swim 0: its words, no split, a lap row of nine empty cells.
    EXPECT_EQ(lines[8], u"<TD>100m自由形 </TD><TD>予選 </TD><TD> 1:05.32</TD>");
    EXPECT_EQ(lines[9], u"<TR>");
    // Swim 1: a row of its own, one split, no lap.
    EXPECT_EQ(lines[19], u"<TR>");
    EXPECT_EQ(lines[25], u"<TD>100m自由形 </TD><TD>決勝 </TD><TD> 1:05.32</TD>");
    EXPECT_EQ(lines[26], u"<TD align=\"right\">   31.25</TD>");
    EXPECT_EQ(lines[27], u"<TR>");
    // Swim 2: sixty splits and fifty-nine laps.
    size_t swim2 = 37 + 6;
    EXPECT_EQ(lines[swim2], u"<TD>1500m自由形 </TD><TD>予選 </TD><TD>17:01.11</TD>");
    EXPECT_EQ(lines[swim2 + 60], u"<TD align=\"right\">   69.00</TD>");
    EXPECT_EQ(lines[swim2 + 61], u"<TR>");
    EXPECT_EQ(lines[swim2 + 71], u"<TD align=\"right\">    1.00</TD>");
    EXPECT_EQ(lines[swim2 + 75], u"<TD align=\"right\"></TD>");  // split 6 sorts before split 5
    EXPECT_EQ(lines.size(), swim2 + 71 + 59 + 1);
}

}  // namespace
}  // namespace quendro
