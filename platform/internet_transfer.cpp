#include "platform/internet_transfer.h"

#include "platform/shift_jis.h"

namespace quendro {

std::optional<std::u16string> openUrlAsText(InternetTransfer& inet, std::u16string_view url) {
    auto body = inet.openUrl(url);
    if (!body) return std::nullopt;
    return decodeShiftJis(*body);
}

}  // namespace quendro
