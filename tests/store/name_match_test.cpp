#include "store/name_match.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;
using test::sjis;
using test::TestMachine;
using test::writeFile;

// Every folding of a name is held at the first and the last letter it folds,
// and at the letters just past them, which stay as they are.
TEST(NameMatch, WidthKanaAndBlanks) {
    struct Case {
        std::u16string name;
        std::u16string filter;
        bool matches;
    };
    const Case cases[] = {
        {u"山田　太郎      ", u"山田", true},
        {u"山田　太郎      ", u"山田太郎", true},  // the full-width blank between
        {u"山田 太郎       ", u"田　太", true},    // blanks on either side
        {u"山田太郎        ", u"山本", false},
        {u"ヤマダ　タロウ  ", u"やまだ", true},  // hiragana for katakana
        {u"やまだ　たろう  ", u"ヤマダ", true},
        {u"ﾔﾏﾀﾞ ﾀﾛｳ        ", u"やまだ", true},   // half-width kana, voiced mark joined
        {u"ﾔﾏﾀﾞ ﾀﾛｳ        ", u"ヤマタ", false},  // ダ is not タ
        {u"ﾎﾟｰﾙ            ", u"ぽーる", true},   // semi-voiced mark, long vowel
        {u"ｳﾞｨｸﾄﾙ          ", u"ヴィクトル", true},
        {u"ガッコウ        ", u"ｶﾞｯｺｳ", true},
        {u"ＳＭＩＴＨ　Ｊ  ", u"smith", true},  // full-width latin, case
        {u"Smith John      ", u"ＳＭＩＴＨＪ", true},
        {u"Smith John      ", u"jones", false},
        {u"佐藤            ", u"佐藤花子", false},  // longer than the name
        {u"ABE             ", u"abe", true},  // the first and last latin capitals
        {u"ZAKI            ", u"zaki", true},
        {u"Ｚａｋｉ        ", u"ZAKI", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nameMatches(c.name, c.filter), c.matches)
            << toUtf8(c.name) << " / " << toUtf8(c.filter);
    }
    EXPECT_EQ(nameKey(u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"), u"パピプペポバビブベボ");
    EXPECT_EQ(nameKey(u"ｱﾞ"), u"ア゛");  // a mark that joins nothing stays a mark
    // The ends of each folding table, and the letters just outside them.
    EXPECT_EQ(nameKey(u"@AZ["), u"@az[");
    EXPECT_EQ(nameKey(u"！～"), u"!~");                   // full-width ASCII, first and last
    EXPECT_EQ(nameKey(u"\uFF00\uFF5F"), u"\uFF00\uFF5F");  // just outside it
    EXPECT_EQ(nameKey(u"｡ﾟ"), u"。゜");                    // half-width kana, first and last
    EXPECT_EQ(nameKey(u"\uFF60\uFFA0"), u"\uFF60\uFFA0");
    EXPECT_EQ(nameKey(u"ぁゖゝゞ"), u"ァヶヽヾ");            // hiragana, first and last
    EXPECT_EQ(nameKey(u"\u3040\u3097\u309C\u309F"), u"\u3040\u3097\u309C\u309F");
}

TEST(NameMatch, OnlyFiltersWithoutDigitsSearchNames) {
    EXPECT_TRUE(isNameFilter(u"山田"));
    EXPECT_TRUE(isNameFilter(u"abc"));
    EXPECT_TRUE(isNameFilter(u" た "));
    EXPECT_FALSE(isNameFilter(u"1201"));
    EXPECT_FALSE(isNameFilter(u"山田1"));
    EXPECT_FALSE(isNameFilter(u"１２"));  // full-width digits keep the number rule too
    EXPECT_FALSE(isNameFilter(u""));
    EXPECT_FALSE(isNameFilter(u"　 "));
}

// The competitor table of the working folder, built from the record layout.
std::string ind2(const std::vector<std::pair<std::string, std::u16string>>& competitors) {
    std::string file =
        RecordBytes(128).int32(0, static_cast<std::int32_t>(competitors.size())).str();
    for (const auto& [number, name] : competitors) {
        file += RecordBytes(128).bytes(11, number).bytes(25, sjis(name)).str();
    }
    return file;
}

TEST(NameMatch, TheNumberBoxFindsNamesAndSaysWhenNobodyMatches) {
    TestMachine m;
    writeFile(m.workingFolder() / "ind2.dat",
              ind2({{"1201", u"山田　太郎"}, {"2201", u"ﾔﾏﾓﾄ ﾊﾅｺ"}, {"1202", u"鈴木　花子"}}));
    MainWindow window(m.machine());
    window.webMode = 1;

    window.txtBango.setText(u"やま");
    EXPECT_EQ(window.hitCount, 1);
    EXPECT_EQ(window.hitRecords[0], 2);
    window.txtBango.setText(u"花子");
    EXPECT_EQ(window.hitCount, 1);
    EXPECT_EQ(window.lstNamae.items()[0], u"1202            鈴木　花子           ");
    window.txtBango.setText(u"山田 太郎");
    EXPECT_EQ(window.hitRecords[0], 1);

    window.txtBango.setText(u"田中");
    EXPECT_EQ(window.hitCount, 0);
    EXPECT_EQ(window.statusText, u"該当する選手がいません: 田中");
    window.txtBango.setText(u"12");  // digits: the number rule, as ever
    EXPECT_EQ(window.hitCount, 2);
    EXPECT_EQ(window.statusText, u"");
    window.txtBango.setText(u"9");
    EXPECT_EQ(window.statusText, u"該当する選手がいません: 9");
    window.txtBango.setText(u"");
    EXPECT_EQ(window.hitCount, 3);
    EXPECT_EQ(window.statusText, u"");

    // Another word on the status line is left alone.
    window.statusText = u"HTML を書き込みました: x";
    window.txtBango.setText(u"鈴木");
    EXPECT_EQ(window.statusText, u"HTML を書き込みました: x");
}

}  // namespace
}  // namespace quendro
