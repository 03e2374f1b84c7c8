#include "laps/pace_table.h"

#include <cmath>

#include "platform/text_rules.h"

namespace quendro {
namespace {

std::u16string timeOr(const std::optional<int>& t) {
    return t ? secondsText(*t) : std::u16string();
}

std::u16string differenceOr(const std::optional<int>& d, bool asciiMinus) {
    return d ? differenceText(*d, asciiMinus) : std::u16string();
}

std::u16string percentText(double percent) {
    long tenths = std::lround(std::abs(percent) * 10);
    std::u16string sign = percent > 0 ? u"+" : (percent < 0 && tenths > 0 ? u"\u2212" : u"");
    return sign + decimalText(tenths / 10) + u"." + decimalText(tenths % 10) + u"%";
}

std::u16string metres(int distance) {
    return decimalText(distance) + u"m";
}

}  // namespace

PaceTable paceTable(const SwimSplits& swim, const SwimSplits* other, int lapIndex,
                    bool asciiMinus) {
    PaceTable table;
    const PaceFigures figures = paceFigures(swim, lapIndex);
    const auto mine = cumulativeHundredths(swim);
    table.heading = {u"距離", u"通過", u"ラップ", u"平均との差"};
    std::vector<std::optional<int>> theirs;
    std::optional<PaceFigures> otherFigures;
    std::optional<SwimComparison> comparison;
    if (other) {
        table.heading.insert(table.heading.end(),
                             {u"比較 通過", u"比較 ラップ", u"通過の差", u"ラップの差"});
        theirs = cumulativeHundredths(*other);
        comparison = compareSwims(swim, *other, lapIndex);
    }
    const size_t splits = std::max(mine.size(), theirs.size());
    const size_t step = static_cast<size_t>(figures.step);
    for (size_t k = 0; k < splits; ++k) {
        std::vector<std::u16string> row;
        row.push_back(metres(static_cast<int>(k + 1) * swim.splitDistance));
        row.push_back(k < mine.size() ? timeOr(mine[k]) : u"");
        const bool lapEnds = (k + 1) % step == 0;
        const size_t lap = (k + 1) / step - 1;
        if (lapEnds && lap < figures.laps.size()) {
            row.push_back(timeOr(figures.laps[lap].time));
            row.push_back(differenceOr(figures.laps[lap].fromMean, asciiMinus));
            if (lap == 0 && figures.marks.start) table.startRow = static_cast<int>(k);
            if (figures.marks.fastest == lap) table.fastestRow = static_cast<int>(k);
            if (figures.marks.slowest == lap) table.slowestRow = static_cast<int>(k);
        } else {
            row.insert(row.end(), {u"", u""});
        }
        if (other) {
            row.push_back(k < theirs.size() ? timeOr(theirs[k]) : u"");
            // The other swim's lap at the same step.
            row.push_back(lapEnds && lap < comparison->otherLaps.size()
                              ? timeOr(comparison->otherLaps[lap])
                              : u"");
            row.push_back(differenceOr(comparison->atSplit[k], asciiMinus));
            row.push_back(lapEnds && lap < comparison->atLap.size()
                              ? differenceOr(comparison->atLap[lap], asciiMinus)
                              : u"");
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::u16string tabSeparated(const PaceTable& table) {
    std::u16string text;
    auto line = [&text](const std::vector<std::u16string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += u'\t';
            text += cells[i];
        }
        text += u'\n';
    };
    line(table.heading);
    for (const auto& row : table.rows) line(row);
    return text;
}

std::vector<std::u16string> paceSummary(const PaceFigures& f) {
    std::vector<std::u16string> lines;
    if (f.mean) {
        lines.push_back(u"平均ラップ " + secondsText(*f.mean) + u"（" + metres(f.lapDistance) +
                        u" × " + decimalText(static_cast<int>(f.laps.size())) + u"）");
    }
    if (f.halves) {
        const Halves& h = *f.halves;
        lines.push_back(u"前半 " + secondsText(h.first) + u" / 後半 " + secondsText(h.second) +
                        u"（" + differenceText(h.difference) + u"、" + percentText(h.percent) +
                        u"）");
        if (h.verdict != PaceVerdict::None && h.firstPace && h.secondPace) {
            std::u16string verdict = h.verdict == PaceVerdict::NegativeSplit ? u"ネガティブスプリット"
                                     : h.verdict == PaceVerdict::Fade       ? u"後半の落ち込み"
                                                                            : u"イーブンペース";
            lines.push_back(verdict + u"（平均ラップ 前半 " + secondsText(*h.firstPace) +
                            u" / 後半 " + secondsText(*h.secondPace) + u"）");
        }
    }
    if (const auto& start = f.marks.start) {
        std::u16string line = u"第1ラップ " + secondsText(start->time) + u"（スタート込み";
        if (start->laterMean && start->allowance) {
            line += u"。2本目以降の平均 " + secondsText(*start->laterMean) + u" との差 " +
                    differenceText(*start->allowance);
        }
        lines.push_back(line + u"）");
    }
    if (f.marks.marking == LapMarking::Marked) {
        const Lap& fast = f.laps[*f.marks.fastest];
        const Lap& slow = f.laps[*f.marks.slowest];
        lines.push_back(u"最速 " + metres(fast.endDistance) + u" " + secondsText(*fast.time) +
                        u" / 最遅 " + metres(slow.endDistance) + u" " + secondsText(*slow.time) +
                        u"（第1ラップを除く）");
    } else if (f.marks.marking == LapMarking::AllEqual) {
        lines.push_back(u"2本目以降のラップはすべて同タイム（最速・最遅なし）");
    }
    for (const Check& check : f.checks) lines.push_back(u"注意: " + check.text);
    return lines;
}

std::u16string paceRuleText() {
    return u"前半・後半の比較は第1ラップ（スタート）を除いた平均ラップで判定（差が " +
           decimalText(kEvenPacePercent) + u"% 未満はイーブンペース）";
}

}  // namespace quendro
