#include "platform/field_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace quendro {
namespace {

std::vector<std::u16string> allFields(std::u16string text) {
    FieldReader reader(std::move(text));
    std::vector<std::u16string> fields;
    while (!reader.atEnd()) {
        auto field = reader.next();
        if (!field) break;
        fields.push_back(*field);
    }
    return fields;
}

TEST(FieldReader, ReadsFieldsAsTheMeetFilesWriteThem) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> fields;
    };
    const Case cases[] = {
        {u"a,b\r\nc", {u"a", u"b", u"c"}},
        {u"a\rb\nc\r\n", {u"a", u"b", u"c"}},
        {u"a,,b", {u"a", u"", u"b"}},
        {u"a\r\n\r\nb", {u"a", u"", u"b"}},
        {u",\"1234567 ABC\"\r\n,\"7654321 DEF\"\r\n", {u"", u"1234567 ABC", u"", u"7654321 DEF"}},
        {u"\"第1回,県大会\",x", {u"第1回,県大会", u"x"}},
        {u"\"x,y\"zz,w", {u"x,y", u"w"}},  // text after the closing quote is dropped
        {u"  lead,\t tab, trail ", {u"lead", u"tab", u"trail "}},
        {u"  \"q\" ,r", {u"q", u"r"}},
        {u"\"open", {u"open"}},  // a quote that never closes runs to the end
        {u"1,31.25,G,,,,,,\r\n", {u"1", u"31.25", u"G", u"", u"", u"", u"", u"", u""}},
        {u"a,", {u"a"}},
        {u"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(allFields(c.text), c.fields);
}

TEST(FieldReader, ReadingPastTheEndIsAFailure) {
    FieldReader reader(u"only\r\n");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), u"only");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_EQ(FieldReader(u"").next(), std::nullopt);
}

}  // namespace
}  // namespace quendro
