// The timing system's results file of any bytes, searched with any filter.
#include "fuzz/targets/competitor_file.inc"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzCompetitorFile(data, size, quendro::CompetitorSource::Results);
}
