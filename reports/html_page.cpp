#include "reports/html_page.h"

#include <algorithm>
#include <cstring>

#include "laps/code_tables.h"
#include "laps/swim_splits.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

constexpr std::string_view kCell = "<TD>";
constexpr std::string_view kLineEnd = "\r\n";
// The sink gets the page in pieces of about this many bytes.
constexpr size_t kPiece = size_t{1} << 16;

// The entity a character is written as, when it would read as markup.
std::string_view entityOf(char16_t c) {
    switch (c) {
        case u'&': return "&amp;";
        case u'<': return "&lt;";
        case u'>': return "&gt;";
        case u'"': return "&quot;";
        default: return {};
    }
}

// The most bytes a character of a cell takes: "&quot;".
constexpr size_t kMostPerChar = 6;

// A cell's text in Shift-JIS from out on: a character that would read as
// markup is written as its entity. Cells are mostly ASCII (times, numbers),
// which is written as it stands.
char* writeContent(std::u16string_view text, char* out) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x80) {
            out = writeShiftJis(text.substr(i, 1), out);
            continue;
        }
        std::string_view entity = entityOf(c);
        if (entity.empty()) {
            *out++ = static_cast<char>(c);
        } else {
            out = std::copy(entity.begin(), entity.end(), out);
        }
    }
    return out;
}

// A swim row text cut into its three words, as views of the text.
struct WordViews {
    std::u16string_view event, stage, time;
};

// The first characters up to and with the first blank, taken off the front;
// none when there is no blank.
std::u16string_view takeWord(std::u16string_view& s) {
    size_t blank = s.find(u' ');
    size_t q = blank == std::u16string_view::npos ? 0 : blank + 1;
    std::u16string_view word = s.substr(0, q);
    s.remove_prefix(q);
    return word;
}

WordViews wordViews(std::u16string_view s) {
    if (s.substr(0, 2) == u"  ") s.remove_prefix(2);
    if (s.substr(0, 1) == u" ") s.remove_prefix(1);
    WordViews words;
    words.event = takeWord(s);
    words.stage = takeWord(s);
    words.time = s;
    return words;
}

}  // namespace

std::u16string htmlPagePath(std::u16string_view selectedDir, std::u16string_view abbreviation) {
    return std::u16string(selectedDir) + std::u16string(abbreviation) + u"9.html";
}

std::u16string pageNameFault(std::u16string_view abbreviation) {
    if (abbreviation.find(u'\0') != std::u16string_view::npos) return u"NUL";
    for (char16_t c : {u'\\', u'/', u':'}) {
        if (abbreviation.find(c) != std::u16string_view::npos) return std::u16string(1, c);
    }
    if (abbreviation.find(u"..") != std::u16string_view::npos) return u"..";
    return u"";
}

SwimWords swimWords(std::u16string_view rowText) {
    WordViews words = wordViews(rowText);
    return {std::u16string(words.event), std::u16string(words.stage), std::u16string(words.time)};
}

HtmlPage::HtmlPage() : HtmlPage(Sink{}) {}

HtmlPage::HtmlPage(Sink sink) : sink_(std::move(sink)) {
    line("<HTML><HEAD><TITLE></TITLE></HEAD><BODY>");
    line("<TABLE BORDER=\"0\"  HEIGHT=\"100%\">");
}

char* HtmlPage::room(size_t n) {
    if (bytes_.size() - size_ < n) bytes_.resize(std::max(bytes_.size() * 2, size_ + n + kPiece));
    return bytes_.data() + size_;
}

void HtmlPage::markup(std::string_view ascii) {
    std::copy(ascii.begin(), ascii.end(), room(ascii.size()));
    size_ += ascii.size();
}

void HtmlPage::line(std::string_view text) {
    markup(text);
    endLine();
}

void HtmlPage::endLine() {
    markup(kLineEnd);
    lineEnded();
}

void HtmlPage::lineEnded() {
    if (sink_ && size_ >= kPiece) {
        sink_(std::string_view(bytes_.data(), size_));
        size_ = 0;
    }
}

void HtmlPage::rightCellLine(std::u16string_view text) {
    // The line of every split and every lap: its markup copied in pieces of a
    // size known here.
    static constexpr char kOpen[] = "<TD align=\"right\">";
    static constexpr char kClose[] = "</TD>\r\n";
    constexpr size_t kOpenSize = sizeof kOpen - 1, kCloseSize = sizeof kClose - 1;
    char* const start = room(kOpenSize + text.size() * kMostPerChar + kCloseSize);
    char* p = start;
    std::memcpy(p, kOpen, kOpenSize);
    p = writeContent(text, p + kOpenSize);
    std::memcpy(p, kClose, kCloseSize);
    size_ += static_cast<size_t>(p + kCloseSize - start);
    lineEnded();
}

void HtmlPage::competitor(const CompetitorRecord& record) {
    line("<TR>");
    cellLine(kCell, {record.competitorName});
    cellLine(kCell, {decimalText(record.reportNumber)});
    cellLine(kCell, {chGaku(record.gradeCode)});
    cellLine(kCell, {record.reportText});
    cellLine(kCell, {record.numberText});
}

void HtmlPage::cellLine(std::string_view open, std::initializer_list<std::u16string_view> contents) {
    constexpr std::string_view kClose = "</TD>";
    size_t most = kLineEnd.size();
    for (std::u16string_view text : contents) most += open.size() + text.size() * kMostPerChar + kClose.size();
    char* const start = room(most);
    char* p = start;
    for (std::u16string_view text : contents) {
        p = std::copy(open.begin(), open.end(), p);
        p = writeContent(text, p);
        p = std::copy(kClose.begin(), kClose.end(), p);
    }
    size_ += static_cast<size_t>(p - start);
    endLine();
}

void HtmlPage::swim(int s, std::u16string_view rowText,
                    const std::array<std::u16string, 60>& splitTimes, int splitCount) {
    if (s != 0) {  // the first swim goes on in the competitor's row
        line("<TR>");
        for (int i = 0; i < 5; ++i) line("<TD></TD>");
    }
    WordViews words = wordViews(rowText);
    cellLine(kCell, {words.event, words.stage, words.time});
    for (int k = 1; k <= splitCount; ++k) rightCellLine(splitTimes[static_cast<size_t>(k - 1)]);
    line("<TR>");
    for (int i = 0; i < 9; ++i) line("<TD></TD>");
    for (int k = 2; k <= splitCount; ++k) {
        rightCellLine(splitLapText(splitTimes[static_cast<size_t>(k - 1)],
                                 splitTimes[static_cast<size_t>(k - 2)])
                          .view());
    }
}

std::string HtmlPage::finish() {
    line("</TABLE></BODY></HTML>");
    if (sink_) {
        if (size_ > 0) sink_(std::string_view(bytes_.data(), size_));
        size_ = 0;
        return {};
    }
    bytes_.resize(size_);
    return std::move(bytes_);
}

}  // namespace quendro
