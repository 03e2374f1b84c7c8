#pragma once

#include <string>
#include <string_view>

#include "platform/certificate_problem.h"

namespace quendro {

// The status line's word for work the user stopped (Esc): nothing it would
// have written or replaced was touched.
inline constexpr std::u16string_view kCancelledWord = u"中止しました";

// How a transfer ended, by the transfer library's code and the HTTP status:
// the window's downloads, the programs' uploads and reads alike. Only a whole
// body with a status below 400 is a body; every other ending is a failure that
// the caller reports by its kind and never stores.
enum class DownloadFailure {
    None,
    NoAnswer,      // connected, but the server closed or said nothing before answering
    NoConnection,  // no connection to the server: refused, or no way to it
    NoHost,        // the server's name is known to no name server
    TimedOut,      // no answer within the time allowed, nothing having come
    ErrorStatus,   // the server answered with a status of 400 or above
    TooLarge,      // the body grew past the size limit
    Stalled,       // the server stopped sending for longer than the stall limit
    CutShort,      // the connection broke inside the body
    BadRedirect,   // a redirect to another host or scheme, or too many of them
    BadAddress,    // the URL cannot be used
    Certificate,   // the server's certificate could not be verified
    SecureLink,    // the encrypted link could not be set up (no certificate at fault)
    Damaged,       // the answer came, but cannot be read: a body that says gzip and is not
    Cancelled,     // stopped by the user (Esc) before it ended: no fault of the server's
    Other,         // the transfer could not be made here (memory, the library itself)
};

// No server answered: nothing of an answer came. A later try may reach it.
bool noServerAnswered(DownloadFailure failure);

// What went wrong, in the words of the status line and of the programs' error
// lines ("" for None): every failure in Japanese by its kind, never in the
// transfer library's English. An answer's status is named where it is the
// failure (an error status, a redirect); a certificate names the host.
std::u16string transferFailureWord(DownloadFailure failure, long status,
                                   CertificateProblem certificate = CertificateProblem::None,
                                   std::u16string_view host = {});

}  // namespace quendro
