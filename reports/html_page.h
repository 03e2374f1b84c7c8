#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_files.h"

namespace quendro {

// The lap list of the listed competitors as one HTML table: a row per swim with
// the competitor's particulars on the first, every split of the swim, and under
// it a row with the laps. Every piece is a line of its own, and rows are opened
// and never closed, as the page has always been written. "&", "<", ">" and '"'
// in a cell's text are written as entities, so that every name stays a name.

// The page's file: the chosen folder, the meet abbreviation and "9.html".
std::u16string htmlPagePath(std::u16string_view selectedDir, std::u16string_view abbreviation);
// The abbreviation comes from the meet header, that is from a file or a
// server: it may name the page, never another folder. Empty when it can; else
// what in it cannot be part of a file name (a NUL, "\", "/", ":", "..").
std::u16string pageNameFault(std::u16string_view abbreviation);

// A swim row text cut into event, stage and final time: the leading blanks of
// the event go, and each of the first two words keeps its closing blank.
struct SwimWords {
    std::u16string event;
    std::u16string stage;
    std::u16string time;
};
SwimWords swimWords(std::u16string_view rowText);

// The page is made in its Shift-JIS bytes as it goes, a character at a time
// from the texts of the records and the window.
class HtmlPage {
  public:
    // Receives the page's bytes piece by piece, each piece whole lines ended
    // by CR LF, as soon as a good piece is made.
    using Sink = std::function<void(std::string_view bytes)>;

    // A page kept whole, for finish() to give back.
    HtmlPage();
    // A page handed piece by piece to the sink; finish() then gives back nothing.
    explicit HtmlPage(Sink sink);
    // The first row of a competitor: name, number, grade, report text and competitor number.
    void competitor(const CompetitorRecord& record);
    // A swim of the competitor (s from 0), its splits and its laps.
    void swim(int s, std::u16string_view rowText, const std::array<std::u16string, 60>& splitTimes,
              int splitCount);
    // Ends the page: the whole page's bytes, its lines ended by CR LF (empty
    // when a sink took the lines).
    std::string finish();

  private:
    // A line as it stands, ended by CR LF.
    void line(std::string_view markup);
    // A line of cells: each content escaped between open and "</TD>".
    void cellLine(std::string_view open, std::initializer_list<std::u16string_view> contents);
    // Room for n more bytes at the end of the page.
    char* room(size_t n);
    void markup(std::string_view ascii);
    void endLine();
    // A line of one right-aligned cell: a split or a lap.
    void rightCellLine(std::u16string_view text);
    // After each line: a full piece goes to the sink.
    void lineEnded();

    Sink sink_;
    std::string bytes_;  // the page, or the piece not yet handed to the sink
    size_t size_ = 0;    // how much of bytes_ is written; the rest is room
};

}  // namespace quendro
