#pragma once

#include <string>
#include <string_view>

namespace quendro {

// The printer as the printed lap list uses it. Positions are twips from the left
// and top of the printable area. Printing a text item draws it at the current
// position and moves the current X to its right end; ending a line moves to the
// start of the next one. A line that would begin below the printable area
// begins at the top of a new page. The first item starts a document.
class Printer {
  public:
    virtual ~Printer() = default;
    virtual void setFont(std::u16string_view name, double points) = 0;
    virtual void setCurrentX(int twips) = 0;
    virtual void setCurrentY(int twips) = 0;
    virtual void print(std::u16string_view text) = 0;
    virtual void endLine() = 0;

    // Ends the document and sends it. ok is false when nothing could be
    // printed; word tells the user what happened, where there is anything to tell.
    struct Outcome {
        bool ok = true;
        std::u16string word;
    };
    virtual Outcome endDoc() = 0;
};

}  // namespace quendro
