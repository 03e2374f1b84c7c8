#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shift_jis.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::TestMachine;
using test::writeFile;

TEST(OutputFile, TheNewContentTakesThePlaceOfTheFileOnlyAtCommit) {
    TestMachine m;
    const fs::path page = m.driveD() / "out" / "page.html";
    writeFile(page, "old page");
    std::string big(700000, 'x');  // more than the buffer holds
    {
        auto out = m.files().createFile(u"D:\\out\\page.html");
        EXPECT_TRUE(out->write("new "));
        EXPECT_TRUE(out->write(big));
        EXPECT_EQ(readFile(page), "old page");  // still the old page while writing
    }  // dropped without commit: the old page stays, nothing else is left
    EXPECT_EQ(readFile(page), "old page");
    EXPECT_EQ(std::distance(fs::directory_iterator(page.parent_path()), fs::directory_iterator()), 1);

    auto out = m.files().createFile(u"D:\\out\\page.html");
    out->write("new ");
    out->write(big);
    EXPECT_EQ(out->commit(), FileStatus::Ok);
    EXPECT_EQ(readFile(page), "new " + big);
    EXPECT_EQ(std::distance(fs::directory_iterator(page.parent_path()), fs::directory_iterator()), 1);

    auto nowhere = m.files().createFile(u"D:\\no such folder\\page.html");
    EXPECT_FALSE(nowhere->write("x"));
    EXPECT_EQ(nowhere->commit(), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().createFile(u"D:\\out\\")->commit(), FileStatus::BadName);
}

TEST(ListingMemory, AFolderListingIsKeptForTheLengthOfTheScopeOnly) {
    TestMachine m;
    writeFile(m.driveD() / "meet" / "LAP" / "r0001", "upper");
    std::string bytes;
    {
        ListingMemory memory(m.files());
        ASSERT_EQ(m.files().readBytes(u"D:\\meet\\lap\\r0001", bytes), FileStatus::Ok);
        EXPECT_EQ(bytes, "upper");
        // The folder changes its case: the remembered listing still names "LAP".
        fs::rename(m.driveD() / "meet" / "LAP", m.driveD() / "meet" / "Lap");
        EXPECT_EQ(m.files().readBytes(u"D:\\meet\\lap\\r0001", bytes), FileStatus::PathNotFound);
        // An exact name is always taken as it stands.
        EXPECT_EQ(m.files().readBytes(u"D:\\meet\\Lap\\r0001", bytes), FileStatus::Ok);
    }
    // Forgotten at the end of the scope: the folder is listed afresh.
    EXPECT_EQ(m.files().readBytes(u"D:\\meet\\lap\\r0001", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "upper");
}

TEST(ShiftJisTable, EncodesAsTheCodePageDoes) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", ""},
        {u"abc\\~", "abc\\~"},
        {u"\uFF3C\u4E9C\uFF71", "\x81\x5F\x88\x9F\xB1"},
        {u"山田太郎", "\x8E\x52\x93\x63\x91\xBE\x98\x59"},
        {u"a\u00E9b", "a?b"},                 // not in code page 932
        {std::u16string(1, 0xD800), "?"},     // half a surrogate pair
        {u"\uFFFD", "?"},
    };
    for (const Case& c : cases) EXPECT_EQ(encodeShiftJis(c.text), c.bytes);
    // Every character that a pair of bytes decodes to encodes back to two bytes
    // that decode to it again.
    int pairs = 0;
    for (int lead : {0x81, 0x88, 0x93, 0x9F, 0xE0, 0xEA}) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            std::string two{static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string c = decodeShiftJis(two);
            if (c.size() != 1 || c[0] == 0xFFFD) continue;
            std::string again = encodeShiftJis(c);
            EXPECT_EQ(again.size(), 2u);
            EXPECT_EQ(decodeShiftJis(again), c);
            ++pairs;
        }
    }
    EXPECT_GT(pairs, 800);
    // The single bytes of the ASCII range are the ASCII characters, both ways.
    for (int b = 0; b < 0x80; ++b) {
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(decodeShiftJis(one), std::u16string(1, static_cast<char16_t>(b)));
        EXPECT_EQ(encodeShiftJis(std::u16string(1, static_cast<char16_t>(b))), one);
    }
}

}  // namespace
}  // namespace quendro
