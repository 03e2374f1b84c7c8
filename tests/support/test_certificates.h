#pragma once

#include <filesystem>
#include <string>

namespace quendro::test {

// Certificates that a client must refuse, made with the openssl command line
// into a folder: an authority nobody trusts, a certificate for 127.0.0.1 and
// localhost that has expired, and one for another host only, both signed by
// the authority given (the publisher's own, which the client trusts).
struct TestCertificates {
    std::filesystem::path otherCa;  // an unrelated authority (its certificate)
    std::filesystem::path expiredCert, expiredKey;
    std::filesystem::path wrongHostCert, wrongHostKey;  // DNS:other.invalid only
    std::string why;  // empty when every file was made; else what failed
};

TestCertificates makeTestCertificates(const std::filesystem::path& folder,
                                      const std::filesystem::path& caPem,
                                      const std::filesystem::path& caKey);

}  // namespace quendro::test
