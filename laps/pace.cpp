#include "laps/pace.h"

#include <algorithm>
#include <cmath>

#include "laps/code_tables.h"
#include "laps/lap_times.h"
#include "laps/swim_splits.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Digits only, at most max of them; empty when anything else stands there.
std::optional<int> digitsValue(std::u16string_view text, size_t max) {
    if (text.size() > max) return std::nullopt;
    int value = 0;
    for (char16_t c : text) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::u16string metres(int distance) {
    return decimalText(distance) + u"m";
}

// The final time stands at its own distance, apart from a last split read that
// is no finish: the two are times at different distances.
bool finalStandsApart(const SwimSplits& swim) {
    return !swim.goal && placeOfFinal(static_cast<int>(swim.recorded.size()), swim.goal,
                                      swim.finalTime, swim.eventDistance,
                                      swim.splitDistance)
                                 .place == FinalPlace::AtDistance;
}

}  // namespace

PaceVerdict paceVerdict(int firstTime, int firstLaps, int secondTime, int secondLaps) {
    if (firstTime <= 0 || firstLaps <= 0 || secondTime <= 0 || secondLaps <= 0)
        return PaceVerdict::None;
    // The mean laps compared without rounding: second / secondLaps against
    // first / firstLaps, scaled by 100 so that the per cent stays whole.
    const long long second = 100LL * secondTime * firstLaps;
    const long long first = static_cast<long long>(firstTime) * secondLaps;
    if (second >= (100LL + kEvenPacePercent) * first) return PaceVerdict::Fade;
    if (second <= (100LL - kEvenPacePercent) * first) return PaceVerdict::NegativeSplit;
    return PaceVerdict::Even;
}

std::optional<int> hundredthsOf(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    int minutes = 0;
    if (size_t colon = text.find(u':'); colon != std::u16string_view::npos) {
        auto m = digitsValue(text.substr(0, colon), 2);
        if (!m || colon == 0) return std::nullopt;
        minutes = *m;
        text.remove_prefix(colon + 1);
    }
    size_t point = text.find(u'.');
    std::u16string_view whole = text.substr(0, point);
    std::u16string_view fraction =
        point == std::u16string_view::npos ? std::u16string_view{} : text.substr(point + 1);
    auto seconds = digitsValue(whole, 2);
    auto hundredths = digitsValue(fraction, 2);
    if (!seconds || !hundredths || (whole.empty() && fraction.empty())) return std::nullopt;
    if (minutes > 0 && *seconds >= 60) return std::nullopt;
    int h = fraction.size() == 1 ? *hundredths * 10 : *hundredths;
    int total = (minutes * 60 + *seconds) * 100 + h;
    if (total <= 0) return std::nullopt;  // a zero time is no split
    return total;
}

std::u16string secondsText(int hundredths) {
    int minutes = hundredths / 6000;
    int rest = hundredths % 6000;
    std::u16string seconds = decimalText(rest / 100) + u"." + zeroFilled(rest % 100, 2);
    if (minutes == 0) return seconds;
    return decimalText(minutes) + u":" + zeroFilled(rest / 100, 2) + u"." +
           zeroFilled(rest % 100, 2);
}

std::u16string differenceText(int hundredths, bool asciiMinus) {
    if (hundredths == 0) return u"0.00";
    std::u16string sign = hundredths > 0 ? u"+" : (asciiMinus ? u"-" : u"\u2212");
    return sign + secondsText(std::abs(hundredths));
}

int eventDistanceOf(std::int16_t eventCode) {
    std::u16string event = chShu(eventCode);
    if (event.empty()) return 0;
    return static_cast<int>(numericValue(leftChars(event, 5)));
}

std::vector<std::optional<int>> cumulativeHundredths(const SwimSplits& swim) {
    std::vector<std::optional<int>> times;
    const int read = static_cast<int>(swim.recorded.size());
    const FinalPlacement placement =
        placeOfFinal(read, swim.goal, swim.finalTime, swim.eventDistance, swim.splitDistance);
    if (placement.place == FinalPlace::AtDistance) {
        std::vector<std::u16string> texts = swim.recorded;
        texts.resize(static_cast<size_t>(placement.count));
        putFinalTime(texts, read, placement, swim.finalTime);
        for (const auto& split : texts) times.push_back(hundredthsOf(split));
        return times;
    }
    times.reserve(swim.recorded.size());
    for (const auto& split : swim.recorded) times.push_back(hundredthsOf(split));
    // The last split read shows the official final time, as the lap grid does,
    // when the splits reach the finish: a lane that missed a touchpad ends
    // short of it, and its last split there is a time at that distance.
    const bool reachesFinish = swim.eventDistance <= 0 || swim.splitDistance <= 0 ||
                               static_cast<long>(times.size()) * swim.splitDistance >= swim.eventDistance;
    if (auto final = hundredthsOf(swim.finalTime); final && !times.empty() && reachesFinish)
        times.back() = final;
    return times;
}

int splitsPerLap(int lapIndex, int splitDistance, int splitCount) {
    static constexpr int kLapMetres[5] = {0, 25, 50, 100, 200};
    int step = 1;
    if (lapIndex >= 1 && lapIndex <= 4 && splitDistance > 0 &&
        kLapMetres[lapIndex] > splitDistance && kLapMetres[lapIndex] % splitDistance == 0) {
        step = kLapMetres[lapIndex] / splitDistance;
    }
    while (step > 1 && (splitCount < step || splitCount % step != 0)) step /= 2;
    return step;
}

std::vector<Check> splitChecks(const SwimSplits& swim) {
    std::vector<Check> checks;
    const int n = static_cast<int>(swim.recorded.size());
    const int d = swim.splitDistance;
    std::optional<int> before;
    for (int k = 0; k < n; ++k) {
        auto t = hundredthsOf(swim.recorded[static_cast<size_t>(k)]);
        if (!t) {
            checks.push_back(
                {CheckKind::Missing, k + 1, metres((k + 1) * d) + u" の通過記録がありません"});
            continue;
        }
        if (before && *t <= *before) {
            checks.push_back({CheckKind::NotLater, k + 1,
                              metres((k + 1) * d) + u" の通過 " + secondsText(*t) +
                                  u" が前の通過 " + secondsText(*before) +
                                  u" より後ではありません"});
        }
        before = t;
    }
    if (swim.eventDistance > 0 && d > 0 && n * d != swim.eventDistance) {
        int expected = swim.eventDistance / d;
        checks.push_back({CheckKind::SplitCount, 0,
                          u"通過記録が " + decimalText(n) + u" 本です（" +
                              metres(swim.eventDistance) + u" は " + decimalText(expected) +
                              u" 本）"});
    }
    auto final = hundredthsOf(swim.finalTime);
    if (isResultText(swim.finalTime)) {
        checks.push_back({CheckKind::ResultWord, 0,
                          u"記録は「" + swim.finalTime + u"」です（通過は計時のまま）"});
    } else if (final && n > 0 && !finalStandsApart(swim)) {
        auto last = hundredthsOf(swim.recorded.back());
        if (last && *last != *final) {
            checks.push_back({CheckKind::LastDiffers, n,
                              u"最後の通過 " + secondsText(*last) + u" が公式記録 " +
                                  secondsText(*final) + u" と違います（" +
                                  differenceText(*last - *final) + u"）"});
        }
    }
    return checks;
}

PaceFigures paceFigures(const SwimSplits& swim, int lapIndex) {
    PaceFigures figures;
    const std::vector<std::optional<int>> cumulative = cumulativeHundredths(swim);
    const int n = static_cast<int>(cumulative.size());
    figures.step = splitsPerLap(lapIndex, swim.splitDistance, n);
    figures.lapDistance = figures.step * swim.splitDistance;
    figures.checks = splitChecks(swim);

    const int step = figures.step;
    for (int k = step - 1; k < n; k += step) {
        Lap lap;
        lap.endDistance = (k + 1) * swim.splitDistance;
        lap.cumulative = cumulative[static_cast<size_t>(k)];
        lap.time = lapTime(cumulative, static_cast<size_t>(k), static_cast<size_t>(step));
        figures.laps.push_back(lap);
    }

    long long sum = 0;
    int count = 0;
    std::vector<std::optional<int>> times;
    for (const Lap& lap : figures.laps) {
        times.push_back(lap.time);
        if (!lap.time) continue;
        sum += *lap.time;
        ++count;
    }
    figures.marks = lapMarks(times);
    if (count > 0) {
        figures.mean = static_cast<int>(std::lround(static_cast<double>(sum) / count));
        for (auto& lap : figures.laps) {
            if (lap.time) lap.fromMean = *lap.time - *figures.mean;
        }
    }

    // The halves, at split distance: the swim must have its halfway split and
    // cover the event's whole distance.
    bool whole = swim.eventDistance == 0 || n * swim.splitDistance == swim.eventDistance;
    if (whole && n >= 2 && n % 2 == 0) {
        auto half = cumulative[static_cast<size_t>(n / 2 - 1)];
        auto end = cumulative.back();
        if (half && end && *end > *half && !isResultText(swim.finalTime)) {
            Halves h;
            h.first = *half;
            h.second = *end - *half;
            h.difference = h.second - h.first;
            h.percent = 100.0 * h.difference / h.first;
            // Like with like: the first half's laps after the first (the
            // start's) against the second half's, at split distance.
            const int firstLaps = n / 2 - 1;
            const int secondLaps = n / 2;
            auto opening = cumulative.front();
            if (firstLaps > 0 && opening && *half > *opening) {
                const int firstTime = *half - *opening;
                h.verdict = paceVerdict(firstTime, firstLaps, h.second, secondLaps);
                if (h.verdict != PaceVerdict::None) {
                    h.firstPace = roundedMean(firstTime, firstLaps);
                    h.secondPace = roundedMean(h.second, secondLaps);
                }
            }
            figures.halves = h;
        }
    }
    return figures;
}

}  // namespace quendro
