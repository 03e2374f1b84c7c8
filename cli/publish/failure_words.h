#pragma once

#include <string>
#include <string_view>

#include "platform/http_client.h"

namespace quendro {

// What went wrong with an answer that was no success, in the words of every
// transfer failure: the status's ("サーバーに断られました（HTTP 403）"), or
// why no answer came at all.
std::string answerWords(const HttpAnswer& answer);

// A failure of the server as the publisher tells it: the address, without its
// password, and why.
std::string failureWords(std::string_view url, std::string_view why);
std::string failureWords(std::string_view url, const HttpAnswer& answer);

}  // namespace quendro
