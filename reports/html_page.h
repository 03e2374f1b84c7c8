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

class HtmlPage {
  public:
    // Receives each line, its CR LF included, as soon as it is made.
    using Sink = std::function<void(std::u16string_view line)>;

    // A page kept whole, for finish() to give back.
    HtmlPage();
    // A page handed line by line to the sink; finish() then gives back nothing.
    explicit HtmlPage(Sink sink);
    // The first row of a competitor: name, number, grade, report text and competitor number.
    void competitor(const CompetitorRecord& record);
    // A swim of the competitor (s from 0), its splits and its laps.
    void swim(int s, std::u16string_view rowText, const std::array<std::u16string, 60>& splitTimes,
              int splitCount);
    // Ends the page: the whole page, its lines ended by CR LF (empty when a
    // sink took the lines).
    std::u16string finish();

  private:
    // A line as it stands, ended by CR LF.
    void line(std::u16string_view text);
    // A line of cells: each content escaped between open and "</TD>".
    void cellLine(std::u16string_view open, std::initializer_list<std::u16string_view> contents);
    void cells(std::u16string_view open, std::initializer_list<std::u16string_view> contents);
    std::u16string& current();  // where the line is made
    void endLine();
    Sink sink_;
    std::u16string text_;
    std::u16string line_;  // the line being made, reused
};

}  // namespace quendro
