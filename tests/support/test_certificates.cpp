#include "tests/support/test_certificates.h"

#include <fstream>

#include "tests/support/nginx_publisher.h"

namespace fs = std::filesystem;

namespace quendro::test {
namespace {

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

// Runs an openssl command; false (and why) when it fails.
bool openssl(const std::string& arguments, std::string& why) {
    CommandResult run = runCommand("openssl " + arguments);
    if (run.status != 0 && why.empty()) why = "openssl " + arguments + ": " + run.output;
    return run.status == 0;
}

std::string q(const fs::path& path) { return shellQuoted(path.string()); }

// A new P-256 key and either a signing request or, with "-x509 ...", a
// self-signed certificate.
bool newKey(const fs::path& config, const fs::path& key, const fs::path& out,
            const std::string& subject, const std::string& more, std::string& why) {
    return openssl("req -config " + q(config) +
                       " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " +
                       q(key) + " -out " + q(out) + " -subj " + shellQuoted(subject) + " " + more,
                   why);
}

const char* kServerExtensions =
    "basicConstraints=critical,CA:FALSE\n"
    "keyUsage=critical,digitalSignature\n"
    "extendedKeyUsage=serverAuth\n";

}  // namespace

TestCertificates makeTestCertificates(const fs::path& folder, const fs::path& caPem,
                                      const fs::path& caKey) {
    TestCertificates made;
    fs::create_directories(folder);
    const fs::path request = folder / "request.cnf";
    writeText(request, "[req]\ndistinguished_name = dn\n[dn]\n");
    std::string& why = made.why;

    // An authority of its own, that nothing here trusts.
    made.otherCa = folder / "other-ca.pem";
    newKey(request, folder / "other-ca.key", made.otherCa, "/CN=Other test authority",
           "-x509 -days 30 -addext basicConstraints=critical,CA:TRUE "
           "-addext keyUsage=critical,keyCertSign,cRLSign",
           why);

    // The right names and the right authority, but a validity that ended long
    // ago: "openssl ca" sets both dates as given.
    made.expiredCert = folder / "expired.pem";
    made.expiredKey = folder / "expired.key";
    const fs::path database = folder / "ca-database";
    fs::create_directories(database / "issued");
    writeText(database / "index.txt", "");
    writeText(database / "serial", "1000\n");
    writeText(folder / "ca.cnf",
              "[ca]\ndefault_ca = test\n"
              "[test]\n"
              "database = " + (database / "index.txt").string() + "\n"
              "new_certs_dir = " + (database / "issued").string() + "\n"
              "serial = " + (database / "serial").string() + "\n"
              "default_md = sha256\npolicy = anything\nunique_subject = no\n"
              "x509_extensions = server\n"
              "[anything]\ncommonName = supplied\n"
              "[server]\nsubjectAltName = IP:127.0.0.1,DNS:localhost\n" +
                  std::string(kServerExtensions));
    if (newKey(request, made.expiredKey, folder / "expired.csr", "/CN=127.0.0.1", "-new", why))
        openssl("ca -batch -notext -config " + q(folder / "ca.cnf") + " -cert " + q(caPem) +
                    " -keyfile " + q(caKey) + " -in " + q(folder / "expired.csr") + " -out " +
                    q(made.expiredCert) + " -startdate 20200101000000Z -enddate 20200201000000Z",
                why);

    // Valid and from the right authority, but for another host.
    made.wrongHostCert = folder / "wrong-host.pem";
    made.wrongHostKey = folder / "wrong-host.key";
    writeText(folder / "wrong-host.ext",
              "subjectAltName=DNS:other.invalid\n" + std::string(kServerExtensions));
    if (newKey(request, made.wrongHostKey, folder / "wrong-host.csr", "/CN=other.invalid", "-new",
               why))
        openssl("x509 -req -in " + q(folder / "wrong-host.csr") + " -CA " + q(caPem) +
                    " -CAkey " + q(caKey) + " -set_serial 0x2000 -days 30 -extfile " +
                    q(folder / "wrong-host.ext") + " -out " + q(made.wrongHostCert),
                why);

    for (const fs::path& file : {made.otherCa, made.expiredCert, made.expiredKey,
                                 made.wrongHostCert, made.wrongHostKey})
        if (why.empty() && (!fs::is_regular_file(file) || fs::file_size(file) == 0))
            why = "not made: " + file.string();
    return made;
}

}  // namespace quendro::test
