#include "cli/publish/failure_words.h"

#include "platform/address_sign_in.h"

namespace quendro {

std::string answerWords(const HttpAnswer& answer) {
    return answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error;
}

std::string failureWords(std::string_view url, std::string_view why) {
    return withoutPassword(url) + ": " + std::string(why);
}

std::string failureWords(std::string_view url, const HttpAnswer& answer) {
    return failureWords(url, answerWords(answer));
}

}  // namespace quendro
