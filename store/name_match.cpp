#include "store/name_match.h"

#include <array>

namespace quendro {
namespace {

// Full-width katakana of the half-width forms U+FF61 to U+FF9F.
constexpr std::array<char16_t, 63> kHalfWidthKana = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜',
};

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0';
}

// Katakana that take the voiced mark: カ to ト (every second one), and ハ to ホ.
bool takesVoicedMark(char16_t c) {
    if (c >= u'カ' && c <= u'チ') return (c - u'カ') % 2 == 0;
    if (c == u'ツ' || c == u'テ' || c == u'ト') return true;
    return c >= u'ハ' && c <= u'ホ' && (c - u'ハ') % 3 == 0;
}

bool takesSemiVoicedMark(char16_t c) {
    return c >= u'ハ' && c <= u'ホ' && (c - u'ハ') % 3 == 0;
}

}  // namespace

std::u16string nameKey(std::u16string_view text) {
    std::u16string key;
    key.reserve(text.size());
    for (char16_t c : text) {
        if (isBlank(c)) continue;
        if (c >= u'\uFF01' && c <= u'\uFF5E') {
            c = static_cast<char16_t>(c - 0xFEE0);  // full-width ASCII
        } else if (c >= u'\uFF61' && c <= u'\uFF9F') {
            char16_t full = kHalfWidthKana[static_cast<size_t>(c - 0xFF61)];
            // A half-width voiced mark joins the kana before it.
            if (!key.empty() && c == u'\uFF9E') {
                char16_t& last = key.back();
                if (takesVoicedMark(last)) {
                    ++last;
                    continue;
                }
                if (last == u'ウ') {
                    last = u'ヴ';
                    continue;
                }
            }
            if (!key.empty() && c == u'\uFF9F' && takesSemiVoicedMark(key.back())) {
                key.back() = static_cast<char16_t>(key.back() + 2);
                continue;
            }
            c = full;
        } else if ((c >= u'\u3041' && c <= u'\u3096') || c == u'\u309D' || c == u'\u309E') {
            c = static_cast<char16_t>(c + 0x60);  // hiragana to katakana
        }
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        key.push_back(c);
    }
    return key;
}

bool isNameFilter(std::u16string_view filter) {
    bool something = false;
    for (char16_t c : filter) {
        if ((c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19')) return false;
        if (!isBlank(c)) something = true;
    }
    return something;
}

bool nameMatches(std::u16string_view name, std::u16string_view filter) {
    return nameKey(name).find(nameKey(filter)) != std::u16string::npos;
}

SearchResult searchCompetitorsByName(const CompetitorTable& table, std::u16string_view filter) {
    SearchResult result;
    const std::u16string wanted = nameKey(filter);
    for (std::int32_t k = 1; k <= table.competitorCount(); ++k) {
        CompetitorRecord competitor = table.competitor(k);
        if (nameKey(competitor.competitorName).find(wanted) == std::u16string::npos) continue;
        result.lines.push_back(competitorListLine(competitor));
        result.ordinals.push_back(static_cast<std::int16_t>(k));
    }
    return result;
}

SearchResult searchCompetitorsByName(const CompetitorFileBytes& file, std::u16string_view filter) {
    SearchResult result;
    const std::u16string wanted = nameKey(filter);
    for (std::int32_t k = 1; k <= file.competitorCount(); ++k) {
        std::string_view record = file.record(k);
        if (nameKey(textField(record, 25, 16)).find(wanted) == std::u16string::npos) continue;
        result.lines.push_back(competitorListLine(decodeCompetitorRecord(record)));
        result.ordinals.push_back(static_cast<std::int16_t>(k));
    }
    return result;
}

SearchResult findCompetitors(const CompetitorFileBytes& file, std::u16string_view filter) {
    return isNameFilter(filter) ? searchCompetitorsByName(file, filter)
                                : searchCompetitors(file, filter);
}

}  // namespace quendro
