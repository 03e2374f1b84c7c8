#pragma once

#include <string>
#include <vector>

#include "platform/printer.h"

namespace quendro::test {

// A printer that lays the items out on a grid of characters, one column per
// 100 twips (half a character of the 10 pt list font): a half-width character
// takes one column, any other two. What it printed reads as plain lines.
class GridPrinter : public Printer {
  public:
    void setFont(std::u16string_view name, double points) override;
    void setCurrentX(int twips) override { x_ = twips; }
    void setCurrentY(int twips) override { topTwips_ = twips; }
    void print(std::u16string_view text) override;
    void endLine() override;
    Outcome endDoc() override;

    // The documents ended so far, each as its lines, trailing blanks cut.
    std::vector<std::vector<std::u16string>> documents;
    std::u16string fontName;
    double fontPoints = 0;
    int topTwips_ = 0;
    Outcome outcome;  // what endDoc() answers

  private:
    std::vector<std::u16string> lines_;
    int x_ = 0;
    size_t line_ = 0;
};

}  // namespace quendro::test
