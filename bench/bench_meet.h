#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/test_machine.h"
#include "tools/meet_generator.h"

namespace quendro::bench {

// The meets the benchmarks run on, made once per process in a temporary
// folder: the largest meet the record files allow (drive D "\big"), half of it
// ("\half"), and the largest again as the server's meet folder, served on
// 127.0.0.1 by a server that can add a set latency to every answer.
// QUENDRO_BENCH_HEATS makes them smaller (the quick run of the test script).
class BenchMeets {
  public:
    static BenchMeets& get();

    test::TestMachine& machine() { return machine_; }
    int heats() const { return heats_; }
    int halfHeats() const { return heats_ / 2; }
    std::filesystem::path largest() const { return machine_.driveD() / "big"; }
    std::filesystem::path half() const { return machine_.driveD() / "half"; }
    std::filesystem::path served() const { return machine_.root() / "served" / "2026" / "2026001"; }

    // A window that imported the local meet in folder ("D:\big") or the
    // served meet, with every competitor listed.
    std::unique_ptr<MainWindow> localWindow(const std::u16string& folder);
    std::unique_ptr<MainWindow> internetWindow();
    void setLatency(std::chrono::milliseconds latency);

  private:
    BenchMeets();
    test::TestMachine machine_;
    int heats_;
};

// Milliseconds of each iteration, for medians.
class Samples {
  public:
    void add(std::chrono::steady_clock::duration d) {
        ms_.push_back(std::chrono::duration<double, std::milli>(d).count());
    }
    double median();
    double max();

  private:
    std::vector<double> ms_;
};

// Peak memory of this process beyond what it held at the call, in MB.
double peakMegabytesSince(double residentAtStart);
double residentMegabytes();

}  // namespace quendro::bench
