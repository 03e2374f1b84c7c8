#include "cli/publish/telling.h"

#include "platform/text_rules.h"

namespace quendro {

std::string shown(std::u16string_view text) {
    return toUtf8(visibleText(text));
}

void OnceTold::tell(const std::string& key, const std::string& line) {
    auto told = told_.find(key);
    if (told != told_.end() && told->second == line) return;
    told_[key] = line;
    err_ << line << "\n";
    err_.flush();
}

}  // namespace quendro
