#pragma once

#include <string>
#include <string_view>

namespace quendro {

// Why a server's certificate was not taken.
enum class CertificateProblem {
    None,
    UnknownIssuer,  // signed by no authority trusted here
    Expired,
    NotYetValid,
    WrongHost,      // made for another host name
    CaFileUnusable, // the extra CA file given cannot be read
    Other,
};

// Why a certificate was refused, in the words of the status line, naming the
// host: "サーバー 127.0.0.1 の証明書を確認できません: 有効期限が切れています".
std::u16string certificateFailureWord(std::u16string_view host, CertificateProblem problem);

}  // namespace quendro
