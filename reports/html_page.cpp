#include "reports/html_page.h"

#include "laps/code_tables.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// Text as it stands in the page: the characters that would read as markup
// are written as their entities.
void appendEscaped(std::u16string& out, std::u16string_view text) {
    if (text.find_first_of(u"&<>\"") == std::u16string_view::npos) {
        out += text;
        return;
    }
    for (char16_t c : text) {
        switch (c) {
            case u'&': out += u"&amp;"; break;
            case u'<': out += u"&lt;"; break;
            case u'>': out += u"&gt;"; break;
            case u'"': out += u"&quot;"; break;
            default: out.push_back(c);
        }
    }
}

constexpr std::u16string_view kCell = u"<TD>";
constexpr std::u16string_view kRight = u"<TD align=\"right\">";

// The first q characters up to and with the first blank; all of them go when
// there is no blank.
std::u16string takeWord(std::u16string& s) {
    size_t blank = s.find(u' ');
    size_t q = blank == std::u16string::npos ? 0 : blank + 1;
    std::u16string word = s.substr(0, q);
    s.erase(0, q);
    return word;
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
    std::u16string s(rowText);
    if (s.substr(0, 2) == u"  ") s.erase(0, 2);
    if (s.substr(0, 1) == u" ") s.erase(0, 1);
    SwimWords words;
    words.event = takeWord(s);
    words.stage = takeWord(s);
    words.time = s;
    return words;
}

HtmlPage::HtmlPage() : HtmlPage(Sink{}) {}

HtmlPage::HtmlPage(Sink sink) : sink_(std::move(sink)) {
    line(u"<HTML><HEAD><TITLE></TITLE></HEAD><BODY>");
    line(u"<TABLE BORDER=\"0\"  HEIGHT=\"100%\">");
}

void HtmlPage::line(std::u16string_view text) {
    cells({}, {});
    current() += text;
    endLine();
}

void HtmlPage::cells(std::u16string_view open, std::initializer_list<std::u16string_view> contents) {
    if (sink_) line_.clear();
    std::u16string& out = current();
    for (std::u16string_view content : contents) {
        out += open;
        appendEscaped(out, content);
        out += u"</TD>";
    }
}

std::u16string& HtmlPage::current() {
    return sink_ ? line_ : text_;
}

void HtmlPage::endLine() {
    current() += u"\r\n";
    if (sink_) sink_(line_);
}

void HtmlPage::competitor(const CompetitorRecord& record) {
    line(u"<TR>");
    cellLine(kCell, {record.competitorName});
    cellLine(kCell, {decimalText(record.reportNumber)});
    cellLine(kCell, {chGaku(record.gradeCode)});
    cellLine(kCell, {record.reportText});
    cellLine(kCell, {record.numberText});
}

void HtmlPage::cellLine(std::u16string_view open,
                        std::initializer_list<std::u16string_view> contents) {
    cells(open, contents);
    endLine();
}

void HtmlPage::swim(int s, std::u16string_view rowText,
                    const std::array<std::u16string, 60>& splitTimes, int splitCount) {
    if (s != 0) {  // the first swim goes on in the competitor's row
        line(u"<TR>");
        for (int i = 0; i < 5; ++i) line(u"<TD></TD>");
    }
    SwimWords words = swimWords(rowText);
    cellLine(kCell, {words.event, words.stage, words.time});
    for (int k = 1; k <= splitCount; ++k) cellLine(kRight, {splitTimes[static_cast<size_t>(k - 1)]});
    line(u"<TR>");
    for (int i = 0; i < 9; ++i) line(u"<TD></TD>");
    for (int k = 2; k <= splitCount; ++k) {
        cellLine(kRight, {chSa(splitTimes[static_cast<size_t>(k - 1)],
                               splitTimes[static_cast<size_t>(k - 2)])});
    }
}

std::u16string HtmlPage::finish() {
    line(u"</TABLE></BODY></HTML>");
    return std::move(text_);
}

}  // namespace quendro
