// The heat table and the results file of a sample meet, written by a separate
// tool from the layouts, read back and listed against the expected listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/text_rules.h"
#include "store/record_files.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

std::string listing(FileSystem& files, const std::u16string& folder) {
    std::ostringstream out;
    HeatTable heats(files, folder + u"taikai.dat");
    out << "heats " << heats.heatCount() << "\n";
    for (std::int32_t k = 1; k <= heats.heatCount(); ++k) {
        HeatRecord heat = heats.heat(k);
        out << "heat " << k << " event " << heat.eventCode << " stage [" << toUtf8(heat.stageCode)
            << "]";
        for (size_t j = 0; j < 10; ++j) {
            if (heat.laneCompetitor[j] != 0) {
                out << " " << j << ":" << heat.laneCompetitor[j] << ":" << heat.laneTime[j];
            }
        }
        out << "\n";
    }
    CompetitorTable competitors(files, folder + u"KEKKA.DAT", CompetitorSource::Results);
    out << "competitors " << competitors.competitorCount() << "\n";
    for (std::int32_t k = 1; k <= competitors.competitorCount(); ++k) {
        CompetitorRecord c = competitors.competitor(k);
        out << "competitor " << k << " [" << toUtf8(c.numberText) << "] ["
            << toUtf8(c.competitorName) << "] [" << toUtf8(c.reportText) << "] ["
            << toUtf8(c.gradeCode) << "] " << c.reportNumber << "\n";
    }
    return out.str();
}

TEST(GoldenRecords, SampleMeet) {
    test::TestMachine m;
    const std::filesystem::path data = std::filesystem::path(QUENDRO_TEST_DATA) / "sample_records";
    std::string expected = test::readFile(data / "expected.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(listing(m.files(), fromUtf8(data.string()) + u"/"), expected);
}

}  // namespace
}  // namespace quendro
