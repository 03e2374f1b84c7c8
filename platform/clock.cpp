#include "platform/clock.h"

#include <cstdio>
#include <ctime>

#include "platform/text_rules.h"

namespace quendro {

LocalDateTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::u16string shortDateText(const LocalDateTime& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", m.year, m.month, m.day);
    return fromUtf8(text);
}

std::u16string timeText(const LocalDateTime& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", m.hour, m.minute, m.second);
    return fromUtf8(text);
}

}  // namespace quendro
