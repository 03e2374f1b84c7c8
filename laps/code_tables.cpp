#include "laps/code_tables.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/text_rules.h"

namespace quendro {
namespace {

constexpr std::array<std::u16string_view, 29> kEvents = {
    u"  25m自由形", u"  50m自由形", u" 100m自由形", u" 200m自由形", u" 400m自由形", u" 800m自由形",
    u"1500m自由形", u"  25m背泳ぎ", u"  50m背泳ぎ", u" 100m背泳ぎ", u" 200m背泳ぎ", u"  25m平泳ぎ",
    u"  50m平泳ぎ", u" 100m平泳ぎ", u" 200m平泳ぎ", u"  25mフライ", u"  50mフライ", u" 100mフライ",
    u" 200mフライ", u" 100m個人メ", u" 200m個人メ", u" 400m個人メ", u" 100mメドレ", u" 200mメドレ",
    u" 400mメドレ", u" 100mリレー", u" 200mリレー", u" 400mリレー", u" 800mリレー",
};

struct ResultCode {
    std::u16string_view digits;
    std::u16string_view text;
};

// Values in the time field that are not times: the swim's result.
constexpr std::array<ResultCode, 10> kResults = {{
    {u"666666", u"参加"},  // participation
    {u"700001", u"ｽﾀｰﾄ"},  // start
    {u"700002", u"泳法"},  // stroke
    {u"700003", u"折返"},  // turn
    {u"700004", u"ｺﾞｰﾙ"},  // finish
    {u"700005", u"引継"},  // relay takeover
    {u"700006", u"逸脱"},  // deviation
    {u"700007", u"途中"},  // during the race
    {u"888888", u"棄権"},  // withdrawal
    {u"999999", u"無"},    // none
}};

// A whole number read from the front of a piece of a time text; blanks and
// pieces that hold no digits read as 0.
std::int64_t fieldNumber(std::u16string_view text, size_t start) {
    return roundHalfEven(numericValue(midChars(text, start, 2))).value_or(0);
}

}  // namespace

std::u16string chShu(std::int16_t code) {
    if (code < 1 || code > 29) return {};
    return std::u16string(kEvents[static_cast<size_t>(code - 1)]);
}

std::u16string eventFullName(std::int16_t code) {
    std::u16string text = chShu(code);
    while (!text.empty() && text.front() == u' ') text.erase(0, 1);
    // The strokes that the eight characters cut short.
    struct Stroke {
        std::u16string_view cut, whole;
    };
    static constexpr Stroke kStrokes[] = {
        {u"個人メ", u"個人メドレー"}, {u"メドレ", u"メドレーリレー"}, {u"リレー", u"フリーリレー"}};
    for (const Stroke& stroke : kStrokes) {
        if (text.ends_with(stroke.cut)) {
            return text.substr(0, text.size() - stroke.cut.size()) + std::u16string(stroke.whole);
        }
    }
    return text;
}

std::u16string chMt(std::u16string_view code) {
    if (code == u"1") return u"予選";  // heats
    if (code == u"2") return u"決勝";  // final
    if (code == u"3") return u"準決";  // semi-final
    if (code == u"4") return u"コン";  // consolation final
    return {};
}

std::u16string chKiro(std::int32_t value) {
    std::u16string digits = decimalText(std::llabs(static_cast<std::int64_t>(value)));
    std::u16string result;
    std::u16string field = digits;
    if (digits.size() > 1) {
        field = rightAligned(digits, 6);  // the rightmost six digits, blank-filled
        if (digits.size() >= 5) {
            result = field.substr(0, 2) + u":" + field.substr(2, 2) + u"." + field.substr(4, 2);
        } else {
            result = u"   " + field.substr(2, 2) + u"." + field.substr(4, 2);
        }
    }
    // A result code is never shown as a time.
    for (const ResultCode& code : kResults) {
        if (field == code.digits) return std::u16string(code.text);
    }
    return result;
}

std::u16string chGaku(std::u16string_view code) {
    std::u16string t = rightChars(u"  " + std::u16string(code), 2);
    switch (t[0]) {
        case u'1': return u"小" + t.substr(1);  // elementary school
        case u'2': return u"中" + t.substr(1);  // junior high school
        case u'3': return u"高" + t.substr(1);  // high school
        case u'4': return u"大" + t.substr(1);  // university
        default: return {};
    }
}

bool isResultText(std::u16string_view text) {
    if (text.empty() || text.size() > 4) return false;  // every result word is one to four characters
    for (const ResultCode& code : kResults) {
        if (text == code.text) return true;
    }
    return false;
}

namespace {

// One two-character field of an eight-character time text ("MM:SS.hh") when it
// holds only digits and blanks, read as the general rule reads it: the blanks
// are skipped and the digits form the number. False for anything else.
inline bool plainField(const char16_t* field, std::int64_t& value) {
    const unsigned first = static_cast<unsigned>(field[0]) - u'0';
    const unsigned second = static_cast<unsigned>(field[1]) - u'0';
    const bool firstDigit = first < 10, secondDigit = second < 10;
    if ((!firstDigit && field[0] != u' ') || (!secondDigit && field[1] != u' ')) return false;
    if (firstDigit && secondDigit) {
        value = first * 10 + second;
    } else {
        value = firstDigit ? first : secondDigit ? second : 0;
    }
    return true;
}

// Minutes, seconds and hundredths of a time text in the form of a split time:
// eight characters, digits and blanks in the three fields. False for any other
// text (blank, shorter, a stray character), which goes the general way.
inline bool plainTime(std::u16string_view text, std::int64_t& m, std::int64_t& s, std::int64_t& h) {
    return text.size() == 8 && plainField(text.data(), m) && plainField(text.data() + 3, s) &&
           plainField(text.data() + 6, h);
}

// The lap of two times given field by field, minutes, seconds and
// hundredths, in the packed form: a hundredth borrowed from the seconds and a
// second from the minutes where the later field is the smaller.
std::int64_t packedDifference(std::int64_t m, std::int64_t s, std::int64_t h, std::int64_t em,
                              std::int64_t es, std::int64_t eh) {
    if (h < eh) {
        h += 100;
        s -= 1;
    }
    if (s < es) {
        s += 60;
        m -= 1;
    }
    return (m - em) * 10000 + (s - es) * 100 + (h - eh);
}

// The general rule: each field read as a number from its piece of the text.
std::int64_t packedLap(std::u16string_view later, std::u16string_view earlier) {
    return packedDifference(fieldNumber(later, 1), fieldNumber(later, 4), fieldNumber(later, 7),
                            fieldNumber(earlier, 1), fieldNumber(earlier, 4),
                            fieldNumber(earlier, 7));
}

// Text of at most eight characters held in place.
LapText heldText(std::u16string_view text) {
    LapText lap;
    lap.length = static_cast<std::uint8_t>(std::min(text.size(), lap.chars.size()));
    std::copy_n(text.begin(), lap.length, lap.chars.begin());
    return lap;
}

// chKiro of a packed value, written straight into its eight characters when
// the value is an ordinary time (below every result code); anything else goes
// through chKiro itself.
LapText lapText(std::int64_t value) {
    std::int64_t v = value < 0 ? -value : value;
    if (v < 10) return {};
    if (v >= 666666) return heldText(chKiro(static_cast<std::int32_t>(value)));
    // The rightmost six digits, blank-filled: the places before the first
    // digit that is not 0 are blanks.
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint32_t digits[6] = {u / 100000, u / 10000 % 10, u / 1000 % 10,
                                     u / 100 % 10,  u / 10 % 10,    u % 10};
    char16_t field[6];
    bool leading = true;
    for (int i = 0; i < 6; ++i) {
        leading = leading && digits[i] == 0;
        field[i] = leading ? u' ' : static_cast<char16_t>(u'0' + digits[i]);
    }
    const bool minutes = v >= 10000;  // five digits or more
    LapText lap;
    lap.length = 8;
    lap.chars = {minutes ? field[0] : u' ', minutes ? field[1] : u' ', minutes ? u':' : u' ',
                 field[2], field[3], u'.', field[4], field[5]};
    return lap;
}

}  // namespace

std::u16string chSa(std::u16string_view later, std::u16string_view earlier) {
    return std::u16string(lapBetween(later, earlier).view());
}

LapText lapBetween(std::u16string_view later, std::u16string_view earlier) {
    // The last split of a swim carries its final result, which may be a result
    // word: the lap that ends there shows the word, and no lap is formed from it.
    if (isResultText(later)) return heldText(later);
    if (isResultText(earlier)) return {};
    if (later < earlier) return {};
    // The split times of a lap file (digits and blanks in their eight
    // characters) are read without the general rule's number reading.
    std::int64_t m = 0, s = 0, h = 0, em = 0, es = 0, eh = 0;
    const std::int64_t value = plainTime(later, m, s, h) && plainTime(earlier, em, es, eh)
                                   ? packedDifference(m, s, h, em, es, eh)
                                   : packedLap(later, earlier);
    // Each field holds at most two digits, so the value fits in 32 bits.
    return lapText(value);
}

}  // namespace quendro
