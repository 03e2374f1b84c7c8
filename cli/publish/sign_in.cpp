#include "cli/publish/sign_in.h"

#include <cstring>

namespace quendro {

PublishSignIn choosePublishSignIn(std::string_view baseUrl, const char* user,
                                  const char* password, std::optional<std::string> netrcFile) {
    PublishSignIn chosen;
    AddressSignIn split = splitSignIn(baseUrl);
    chosen.address = split.address;
    if (split.present) {
        chosen.source = SignInSource::Address;
        chosen.signIn.user = split.user;
        chosen.signIn.password = split.password;
    } else if (user && *user) {
        chosen.source = SignInSource::Environment;
        chosen.signIn.user = user;
        chosen.signIn.password = password ? password : "";
    } else {
        chosen.source = SignInSource::Netrc;
        chosen.signIn.netrc = true;
        if (netrcFile) chosen.signIn.netrcFile = *netrcFile;
    }
    return chosen;
}

bool hidePasswordIn(char* argument) {
    std::string_view raw(argument);
    AddressSignIn split = splitSignIn(raw);
    if (!split.present) return false;
    size_t scheme = raw.find("://");
    size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    // The address is the argument without "user:password@".
    size_t at = start + (raw.size() - split.address.size()) - 1;
    size_t colon = raw.find(':', start);
    if (colon == std::string_view::npos || colon > at) return false;
    for (size_t i = colon + 1; i < at; ++i) argument[i] = '*';
    return at > colon + 1;
}

}  // namespace quendro
