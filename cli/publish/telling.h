#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace quendro {

// Text from files and paths, for a message: control characters shown escaped.
std::string shown(std::u16string_view text);

// Lines about one matter (a file skipped or held back, a season list that
// cannot be written) told once on err, until the matter is settled or its
// line changes.
class OnceTold {
  public:
    explicit OnceTold(std::ostream& err) : err_(err) {}
    void tell(const std::string& key, const std::string& line);
    // The matter is settled: should it come back, its line is told again.
    void settled(const std::string& key) { told_.erase(key); }

  private:
    std::ostream& err_;
    std::map<std::string, std::string> told_;
};

}  // namespace quendro
