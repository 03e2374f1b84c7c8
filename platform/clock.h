#pragma once

#include <string>

namespace quendro {

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Today's local date and time.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The machine's clock, in local time.
class SystemClock : public Clock {
  public:
    LocalDateTime now() const override;
};

// A clock that always tells the same moment.
class FixedClock : public Clock {
  public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) {}
    LocalDateTime now() const override { return moment_; }

  private:
    LocalDateTime moment_;
};

// The date as yyyy/mm/dd, the short date form of a Japanese desktop.
std::u16string shortDateText(const LocalDateTime& moment);
// The time as h:mm:ss.
std::u16string timeText(const LocalDateTime& moment);

}  // namespace quendro
