#include "cli/publish/failure_words.h"

#include "platform/address_sign_in.h"
#include "platform/text_rules.h"

namespace quendro {

std::string answerWords(const HttpAnswer& answer) {
    return toUtf8(failureWord(answer));
}

std::string failureWords(std::string_view url, std::string_view why) {
    return withoutPassword(url) + ": " + std::string(why);
}

std::string failureWords(std::string_view url, const HttpAnswer& answer) {
    return failureWords(url, answerWords(answer));
}

}  // namespace quendro
