#include "reports/held_print.h"

namespace quendro {

void HeldPrint::setFont(std::u16string_view name, double points) {
    hold(Kind::Font, points, name);
}

void HeldPrint::hold(Kind kind, double number, std::u16string_view text) {
    texts_ += text;
    items_.push_back(Item{kind, static_cast<std::uint32_t>(texts_.size()), number});
}

void HeldPrint::sendTo(Printer& printer) const {
    std::u16string_view texts = texts_;
    std::uint32_t start = 0;
    for (const Item& item : items_) {
        std::u16string_view text = texts.substr(start, item.textEnd - start);
        start = item.textEnd;
        switch (item.kind) {
            case Kind::Font: printer.setFont(text, item.number); break;
            case Kind::X: printer.setCurrentX(static_cast<int>(item.number)); break;
            case Kind::Y: printer.setCurrentY(static_cast<int>(item.number)); break;
            case Kind::Text: printer.print(text); break;
            case Kind::LineEnd: printer.endLine(); break;
        }
    }
}

}  // namespace quendro
