#include "tests/support/grid_printer.h"

namespace quendro::test {
namespace {

bool halfWidth(char16_t c) {
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

}  // namespace

void GridPrinter::setFont(std::u16string_view name, double points) {
    fontName = name;
    fontPoints = points;
}

void GridPrinter::print(std::u16string_view text) {
    if (lines_.size() <= line_) lines_.resize(line_ + 1);
    std::u16string& line = lines_[line_];
    size_t column = static_cast<size_t>(x_ / 100);
    // Wide characters take two columns; the second is marked and dropped below.
    std::u16string cells;
    for (char16_t c : text) {
        cells.push_back(c);
        if (!halfWidth(c)) cells.push_back(u'\0');
    }
    if (line.size() < column + cells.size()) line.resize(column + cells.size(), u' ');
    line.replace(column, cells.size(), cells);
    x_ += static_cast<int>(cells.size()) * 100;
}

void GridPrinter::endLine() {
    if (lines_.size() <= line_) lines_.resize(line_ + 1);
    ++line_;
    x_ = 0;
}

Printer::Outcome GridPrinter::endDoc() {
    std::vector<std::u16string> done;
    for (std::u16string line : lines_) {
        std::erase(line, u'\0');
        while (!line.empty() && line.back() == u' ') line.pop_back();
        done.push_back(line);
    }
    documents.push_back(done);
    lines_.clear();
    line_ = 0;
    x_ = 0;
    return outcome;
}

}  // namespace quendro::test
