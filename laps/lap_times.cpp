#include "laps/lap_times.h"

namespace quendro {

std::optional<int> lapTime(std::span<const std::optional<int>> cumulative, size_t end,
                           size_t step) {
    if (end >= cumulative.size() || !cumulative[end]) return std::nullopt;
    const std::optional<int> start = end < step ? std::optional<int>(0) : cumulative[end - step];
    if (!start || *cumulative[end] <= *start) return std::nullopt;
    return *cumulative[end] - *start;
}

std::vector<std::optional<int>> lapTimes(std::span<const std::optional<int>> cumulative,
                                         size_t step) {
    std::vector<std::optional<int>> laps;
    // A step of 0 starts past every split (step - 1 wraps): no laps.
    for (size_t end = step - 1; end < cumulative.size(); end += step)
        laps.push_back(lapTime(cumulative, end, step));
    return laps;
}

int roundedMean(long long time, int laps) {
    return static_cast<int>((2 * time + laps) / (2LL * laps));
}

}  // namespace quendro
