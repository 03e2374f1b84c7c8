#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace quendro {

// A printed list kept back until its report has read every lap file: the items
// go to the printer, in the order they came, only when sent; a list the user
// stopped is dropped and never printed in part. The items are held compactly
// (the texts in one piece), as a whole meet's list has hundreds of thousands.
class HeldPrint : public Printer {
  public:
    void setFont(std::u16string_view name, double points) override;
    void setCurrentX(int twips) override { hold(Kind::X, twips, {}); }
    void setCurrentY(int twips) override { hold(Kind::Y, twips, {}); }
    void print(std::u16string_view text) override { hold(Kind::Text, 0, text); }
    void endLine() override { hold(Kind::LineEnd, 0, {}); }
    // Nothing is printed here: what is held waits for sendTo().
    Outcome endDoc() override { return {}; }

    // Hands every held item on to the printer; ending its document is the caller's.
    void sendTo(Printer& printer) const;

  private:
    enum class Kind : std::uint8_t { Font, X, Y, Text, LineEnd };
    struct Item {
        Kind kind;
        std::uint32_t textEnd;  // where its text (a font's name, a text item) ends in texts_
        double number;          // twips, or a font's points
    };
    void hold(Kind kind, double number, std::u16string_view text);

    std::vector<Item> items_;
    std::u16string texts_;
};

}  // namespace quendro
