#include "bench/bench_meet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace quendro::bench {
namespace {

int heatsWanted() {
    if (const char* text = std::getenv("QUENDRO_BENCH_HEATS"); text && *text)
        return std::clamp(std::atoi(text), 2, 3276);
    return 3276;
}

tools::MeetShape shapeOf(int heats) {
    tools::MeetShape shape;
    shape.heats = heats;
    // Ten competitors for every heat, as the largest meet: 32757 for 3276 heats.
    shape.competitors = std::min(32757, heats * 10);
    shape.splits = 60;
    return shape;
}

double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
    }
    return 0;
}

}  // namespace

BenchMeets& BenchMeets::get() {
    static BenchMeets meets;
    return meets;
}

BenchMeets::BenchMeets() : heats_(heatsWanted()) {
    tools::MeetShape largest = shapeOf(heats_);
    largest.resultFolder = u"D:\\big\\kekka\\";
    tools::writeLocalMeet(this->largest(), largest);
    tools::MeetShape half = shapeOf(halfHeats());
    half.resultFolder = u"D:\\half\\kekka\\";
    tools::writeLocalMeet(this->half(), half);
    tools::writeServerMeet(served(), largest);
    machine_.server().answerUncompressed();
    machine_.server().serveFolder("/swim/2026/2026001", served().string());
    std::filesystem::create_directories(machine_.driveD() / "out");
}

std::unique_ptr<MainWindow> BenchMeets::localWindow(const std::u16string& folder) {
    auto window = std::make_unique<MainWindow>(machine_.machine());
    window->txtTaikai.setText(machine_.serverBase());
    window->optWeb.select(0);
    window->webMode = 0;
    window->Dir1.setPath(folder);
    window->cmdKakutei.click();
    return window;
}

std::unique_ptr<MainWindow> BenchMeets::internetWindow() {
    auto window = std::make_unique<MainWindow>(machine_.machine());
    window->txtTaikai.setText(machine_.serverBase());
    window->webMode = 1;
    window->seasonYear = u"2026";
    window->meetCode = u"2026001";
    window->Dir1.setPath(u"D:\\out");
    window->cmdKakutei.click();
    return window;
}

void BenchMeets::setLatency(std::chrono::milliseconds latency) {
    machine_.server().setLatency(latency);
}

double Samples::median() {
    if (ms_.empty()) return 0;
    std::sort(ms_.begin(), ms_.end());
    return ms_[ms_.size() / 2];
}

double Samples::max() {
    return ms_.empty() ? 0 : *std::max_element(ms_.begin(), ms_.end());
}

double residentMegabytes() {
    return statusMegabytes("VmRSS:");
}

double peakMegabytesSince(double residentAtStart) {
    return statusMegabytes("VmHWM:") - residentAtStart;
}

}  // namespace quendro::bench
