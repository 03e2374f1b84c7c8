// The publisher's nginx as the window and the publisher meet it over a real
// link: HTTPS with HTTP/2 and kept connections, compressed answers, files put
// compressed, and certificates that a client must refuse.
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/http_client.h"
#include "platform/text_rules.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::NginxPublisher;
using test::readFile;
using test::runCommand;
using test::shellQuoted;
using test::TestMachine;
using test::writeFile;

// One answer as libcurl saw it, for what HttpClient does not tell: the
// protocol, whether a connection was opened for it, the header lines.
struct RawAnswer {
    CURLcode code = CURLE_OK;
    long status = 0;
    long httpVersion = 0;
    long newConnections = -1;
    std::string headers;     // lower case
    std::string rawHeaders;  // as they came
    std::string body;

    bool hasHeader(const std::string& line) const {
        return headers.find(line) != std::string::npos;
    }
};

size_t keep(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

size_t keepHeader(char* data, size_t size, size_t count, void* target) {
    auto* answer = static_cast<RawAnswer*>(target);
    std::string line(data, size * count);
    answer->rawHeaders += line;
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    answer->headers += line;
    return size * count;
}

// A GET on an easy handle that may have served earlier ones. encoding: the
// Accept-Encoding header sent as it is, the answer's bytes kept as they came
// ("" sends none).
RawAnswer rawGet(CURL* curl, const std::string& url, const fs::path& caFile,
                 const std::string& encoding = "", const std::string& etag = "") {
    RawAnswer answer;
    curl_slist* headers = nullptr;
    if (!encoding.empty()) headers = curl_slist_append(headers, ("Accept-Encoding: " + encoding).c_str());
    if (!etag.empty()) headers = curl_slist_append(headers, ("If-None-Match: " + etag).c_str());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    if (!caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, keep);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, keepHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &answer);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    answer.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &answer.httpVersion);
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &answer.newConnections);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    return answer;
}

struct Easy {
    Easy() : curl(curl_easy_init()) {}
    ~Easy() { curl_easy_cleanup(curl); }
    CURL* curl;
};

HttpClient::Limits trusting(const fs::path& caFile) {
    HttpClient::Limits limits;
    limits.caFile = caFile.string();
    return limits;
}

NginxPublisher::Options withTls(fs::path certificate = {}, fs::path key = {}) {
    NginxPublisher::Options options;
    options.tls = true;
    options.certificate = std::move(certificate);
    options.key = std::move(key);
    return options;
}

std::string gzipped(const TestMachine& m, const std::string& bytes) {
    writeFile(m.root() / "to-gzip", bytes);
    runCommand("gzip -n -f " + shellQuoted((m.root() / "to-gzip").string()));
    return readFile(m.root() / "to-gzip.gz");
}

std::string gunzipped(const TestMachine& m, const std::string& bytes) {
    writeFile(m.root() / "from-gzip.gz", bytes);
    runCommand("gzip -d -f " + shellQuoted((m.root() / "from-gzip.gz").string()));
    return readFile(m.root() / "from-gzip");
}

std::string etagOf(const RawAnswer& answer) {
    size_t at = answer.headers.find("etag: ");
    if (at == std::string::npos) return {};
    size_t end = answer.headers.find('\r', at);
    return answer.rawHeaders.substr(at + 6, end - at - 6);
}

const fs::path kSample = fs::path(QUENDRO_SOURCE_DIR) / "sample" / "meet";

class PublisherTlsTest : public ::testing::Test {
  protected:
    TestMachine m;
};

TEST_F(PublisherTlsTest, ItsOwnCertificateIsTrustedWithItsCaFileAndSpeaksHttp2) {
    NginxPublisher nginx(m.root() / "publisher", withTls());
    ASSERT_TRUE(nginx.running());
    EXPECT_EQ(nginx.base(), "https://127.0.0.1:" + std::to_string(nginx.port()) + "/swim/");
    nginx.place("2026/list.txt", "2026 list");

    HttpAnswer answer = HttpClient(trusting(nginx.caFile())).get(nginx.base() + "2026/list.txt");
    EXPECT_EQ(answer.status, 200) << toUtf8(failureWord(answer));
    EXPECT_EQ(answer.body, "2026 list");
    // Without the publisher's authority, the system's alone do not know it.
    HttpAnswer unknown = HttpClient().get(nginx.base() + "2026/list.txt");
    EXPECT_EQ(unknown.status, 0);
    EXPECT_EQ(unknown.certificate, CertificateProblem::UnknownIssuer);

    // Two requests on one handle: HTTP/2, and the second on the same connection.
    Easy easy;
    RawAnswer first = rawGet(easy.curl, nginx.base() + "2026/list.txt", nginx.caFile());
    RawAnswer second = rawGet(easy.curl, nginx.base() + "2026/list.txt", nginx.caFile());
    EXPECT_EQ(first.code, CURLE_OK) << curl_easy_strerror(first.code);
    EXPECT_EQ(first.httpVersion, CURL_HTTP_VERSION_2_0);
    EXPECT_EQ(first.newConnections, 1);
    EXPECT_EQ(second.status, 200);
    EXPECT_EQ(second.httpVersion, CURL_HTTP_VERSION_2_0);
    EXPECT_EQ(second.newConnections, 0);
}

TEST_F(PublisherTlsTest, TwoTransfersAtOnceShareOneHttp2Connection) {
    NginxPublisher nginx(m.root() / "publisher", withTls());
    ASSERT_TRUE(nginx.running());
    nginx.place("2026/2026001/lap/r0001.txt", std::string(200'000, 'a'));
    nginx.place("2026/2026001/lap/r0002.txt", std::string(200'000, 'b'));
    CURLM* multi = curl_multi_init();
    Easy a, b;
    std::string bodies[2];
    int n = 0;
    for (Easy* e : {&a, &b}) {
        std::string url = nginx.base() + "2026/2026001/lap/r000" + std::to_string(n + 1) + ".txt";
        curl_easy_setopt(e->curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(e->curl, CURLOPT_CAINFO, nginx.caFile().c_str());
        curl_easy_setopt(e->curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
        curl_easy_setopt(e->curl, CURLOPT_PIPEWAIT, 1L);
        curl_easy_setopt(e->curl, CURLOPT_WRITEFUNCTION, keep);
        curl_easy_setopt(e->curl, CURLOPT_WRITEDATA, &bodies[n++]);
        curl_multi_add_handle(multi, e->curl);
    }
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running > 0) curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    long connects[2] = {-1, -1}, versions[2] = {0, 0};
    curl_easy_getinfo(a.curl, CURLINFO_NUM_CONNECTS, &connects[0]);
    curl_easy_getinfo(b.curl, CURLINFO_NUM_CONNECTS, &connects[1]);
    curl_easy_getinfo(a.curl, CURLINFO_HTTP_VERSION, &versions[0]);
    curl_easy_getinfo(b.curl, CURLINFO_HTTP_VERSION, &versions[1]);
    curl_multi_remove_handle(multi, a.curl);
    curl_multi_remove_handle(multi, b.curl);
    curl_multi_cleanup(multi);
    EXPECT_EQ(bodies[0], std::string(200'000, 'a'));
    EXPECT_EQ(bodies[1], std::string(200'000, 'b'));
    EXPECT_EQ(versions[0], CURL_HTTP_VERSION_2_0);
    EXPECT_EQ(versions[1], CURL_HTTP_VERSION_2_0);
    EXPECT_EQ(connects[0] + connects[1], 1);
}

TEST_F(PublisherTlsTest, PlainHttpKeepsOneHttp11Connection) {
    NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running());
    EXPECT_EQ(nginx.base().rfind("http://", 0), 0u);
    nginx.place("2026/list.txt", "2026 list");
    Easy easy;
    RawAnswer first = rawGet(easy.curl, nginx.base() + "2026/list.txt", {});
    RawAnswer second = rawGet(easy.curl, nginx.base() + "2026/list.txt", {});
    EXPECT_EQ(first.body, "2026 list");
    EXPECT_EQ(first.httpVersion, CURL_HTTP_VERSION_1_1);
    EXPECT_EQ(second.httpVersion, CURL_HTTP_VERSION_1_1);
    EXPECT_EQ(first.newConnections, 1);
    EXPECT_EQ(second.newConnections, 0);
    EXPECT_FALSE(second.hasHeader("connection: close"));
}

// A file put as NAME.gz is served at NAME: the same bytes to a client that
// takes gzip and to one that does not, with an ETag that a conditional GET
// sends back for a 304; over plain HTTP and HTTPS alike.
TEST_F(PublisherTlsTest, AFilePutCompressedIsServedAtItsName) {
    const std::string lap = readFile(kSample / "lap" / "r0012");
    const std::string compressed = gzipped(m, lap);
    ASSERT_EQ(compressed.substr(0, 2), "\x1f\x8b");
    for (bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "https" : "http");
        NginxPublisher::Options options = tls ? withTls() : NginxPublisher::Options{};
        NginxPublisher nginx(m.root() / (tls ? "tls" : "plain"), options);
        ASSERT_TRUE(nginx.running());
        fs::path ca = tls ? nginx.caFile() : fs::path();
        HttpClient client(trusting(ca));
        const std::string url = nginx.base() + "2026/2026001/lap/r0012.txt";
        EXPECT_EQ(client.put(url + ".gz", compressed).status, 201);
        // A minute old, so that its validators are sent back.
        fs::last_write_time(nginx.tree() / "2026/2026001/lap/r0012.txt.gz",
                            fs::file_time_type::clock::now() - std::chrono::minutes(1));

        HttpAnswer decoded = client.get(url);  // asks for gzip and decompresses
        EXPECT_EQ(decoded.status, 200);
        EXPECT_TRUE(decoded.body == lap);
        EXPECT_FALSE(decoded.validators.etag.empty());
        EXPECT_EQ(client.get(url, decoded.validators).status, 304);

        Easy easy;
        RawAnswer plain = rawGet(easy.curl, url, ca);
        EXPECT_EQ(plain.status, 200);
        EXPECT_TRUE(plain.body == lap);
        EXPECT_FALSE(plain.hasHeader("content-encoding"));
        EXPECT_TRUE(plain.hasHeader("x-quendro-stores-gzip: 1"));
        EXPECT_EQ(rawGet(easy.curl, url, ca, "", etagOf(plain)).status, 304);

        RawAnswer asIs = rawGet(easy.curl, url, ca, "gzip");
        EXPECT_EQ(asIs.status, 200);
        EXPECT_TRUE(asIs.hasHeader("content-encoding: gzip"));
        EXPECT_TRUE(asIs.body == compressed);
        EXPECT_EQ(rawGet(easy.curl, url, ca, "gzip", etagOf(asIs)).status, 304);
        // Every answer says so, a missing file's too.
        EXPECT_TRUE(rawGet(easy.curl, nginx.base() + "2026/none.txt", ca)
                        .hasHeader("x-quendro-stores-gzip: 1"));
    }
}

// The meet's files go compressed to a client that asks: the record files
// (sent as bytes) and the lap files, from 256 bytes on.
TEST_F(PublisherTlsTest, MeetFilesGoCompressedWhenAsked) {
    NginxPublisher nginx(m.root() / "publisher", withTls());
    ASSERT_TRUE(nginx.running());
    struct Case {
        std::string path;
        std::string bytes;
        bool compressed;
        std::string type;
    };
    const Case cases[] = {
        {"2026/2026001/taikai.txt", readFile(kSample / "taikai.dat"), true,
         "content-type: application/octet-stream"},
        {"2026/2026001/lap/r0012.txt", readFile(kSample / "lap" / "r0012"), true,
         "content-type: text/plain"},
        {"2026/2026001/lap/r0001.txt", std::string(256, '1'), true, "content-type: text/plain"},
        {"2026/2026001/lap/r0002.txt", std::string(255, '2'), false, "content-type: text/plain"},
    };
    Easy easy;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        nginx.place(c.path, c.bytes);
        RawAnswer answer = rawGet(easy.curl, nginx.base() + c.path, nginx.caFile(), "gzip");
        EXPECT_EQ(answer.status, 200);
        EXPECT_TRUE(answer.hasHeader(c.type)) << answer.headers;
        EXPECT_EQ(answer.hasHeader("content-encoding: gzip"), c.compressed);
        EXPECT_TRUE((c.compressed ? gunzipped(m, answer.body) : answer.body) == c.bytes);
        if (c.compressed) {
            EXPECT_LT(answer.body.size(), c.bytes.size());
        }
        // What the window reads: the same bytes, decompressed by libcurl.
        HttpAnswer read = HttpClient(trusting(nginx.caFile())).get(nginx.base() + c.path);
        EXPECT_TRUE(read.body == c.bytes);
    }
}

// Certificates signed by the publisher's authority but expired or for another
// host, and the publisher's own with a client that trusts another authority:
// each refused, naming the server and why.
TEST_F(PublisherTlsTest, ACertificateThatDoesNotHoldIsRefusedWithItsReason) {
    NginxPublisher own(m.root() / "publisher", withTls());
    ASSERT_TRUE(own.running());
    own.place("2026/list.txt", "2026 list");
    test::TestCertificates bad =
        test::makeTestCertificates(m.root() / "certificates", own.caFile(), own.tlsFolder() / "ca.key");
    ASSERT_EQ(bad.why, "");

    // An expired one, and one for another host (its reason is held by the
    // test after this one).
    NginxPublisher expired(m.root() / "expired", withTls(bad.expiredCert, bad.expiredKey));
    NginxPublisher otherHost(m.root() / "other-host", withTls(bad.wrongHostCert, bad.wrongHostKey));
    for (NginxPublisher* served : {&expired, &otherHost}) {
        ASSERT_TRUE(served->running());
        served->place("2026/list.txt", "2026 list");
        HttpAnswer answer = HttpClient(trusting(own.caFile())).get(served->base() + "2026/list.txt");
        EXPECT_EQ(answer.status, 0);
        EXPECT_NE(answer.certificate, CertificateProblem::None);
        EXPECT_NE(failureWord(answer).find(u"127.0.0.1"), std::u16string::npos) << toUtf8(failureWord(answer));
    }
    EXPECT_EQ(HttpClient(trusting(own.caFile())).get(expired.base() + "2026/list.txt").certificate,
              CertificateProblem::Expired);

    HttpAnswer stranger = HttpClient(trusting(bad.otherCa)).get(own.base() + "2026/list.txt");
    EXPECT_EQ(stranger.status, 0);
    EXPECT_EQ(stranger.certificate, CertificateProblem::UnknownIssuer);
    EXPECT_NE(failureWord(stranger).find(u"127.0.0.1"), std::u16string::npos);
    // The same server with its own authority: taken.
    EXPECT_EQ(HttpClient(trusting(own.caFile())).get(own.base() + "2026/list.txt").status, 200);

    // A certificate without its key does not start.
    NginxPublisher::Options half = withTls(bad.wrongHostCert, {});
    half.startNow = false;
    NginxPublisher keyless(m.root() / "keyless", half);
    EXPECT_FALSE(keyless.start());
}

// A certificate for another host is refused as made for another host. libcurl
// 7.88 checks the name itself, before OpenSSL's verification, and then leaves
// CURLINFO_SSL_VERIFYRESULT at 1, which the client does not yet read as a
// wrong host (it says Other): enabled once it does.
TEST_F(PublisherTlsTest, ACertificateForAnotherHostIsRefusedAsSuch) {
    NginxPublisher own(m.root() / "publisher", withTls());
    ASSERT_TRUE(own.running());
    test::TestCertificates bad =
        test::makeTestCertificates(m.root() / "certificates", own.caFile(), own.tlsFolder() / "ca.key");
    ASSERT_EQ(bad.why, "");
    NginxPublisher otherHost(m.root() / "other-host", withTls(bad.wrongHostCert, bad.wrongHostKey));
    ASSERT_TRUE(otherHost.running());
    HttpAnswer answer = HttpClient(trusting(own.caFile())).get(otherHost.base() + "2026/list.txt");
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.certificate, CertificateProblem::WrongHost);
    EXPECT_NE(failureWord(answer).find(u"127.0.0.1"), std::u16string::npos) << toUtf8(failureWord(answer));
}

// The publisher's authority and certificate are made once and kept from start
// to start; a certificate past its end or for other names is made again, by
// the same authority.
TEST_F(PublisherTlsTest, ItsCertificateIsKeptAndRenewedWhenItNoLongerHolds) {
    NginxPublisher::Options options = withTls();
    NginxPublisher nginx(m.root() / "publisher", options);
    ASSERT_TRUE(nginx.running());
    nginx.place("2026/list.txt", "2026 list");
    const fs::path folder = nginx.tlsFolder();
    const std::string ca = readFile(nginx.caFile());
    const std::string certificate = readFile(folder / "server.pem");
    for (const char* key : {"ca.key", "server.key"}) {
        struct stat s {};
        ASSERT_EQ(::stat((folder / key).c_str(), &s), 0);
        EXPECT_EQ(s.st_mode & 0777, 0600u) << key;
    }
    nginx.stop();
    ASSERT_TRUE(nginx.start());
    EXPECT_EQ(readFile(folder / "server.pem"), certificate);

    test::TestCertificates bad =
        test::makeTestCertificates(m.root() / "certificates", nginx.caFile(), folder / "ca.key");
    ASSERT_EQ(bad.why, "");
    for (auto [pem, key] : {std::pair{bad.expiredCert, bad.expiredKey},
                            std::pair{bad.wrongHostCert, bad.wrongHostKey}}) {
        SCOPED_TRACE(pem.filename().string());
        nginx.stop();
        fs::copy_file(pem, folder / "server.pem", fs::copy_options::overwrite_existing);
        fs::copy_file(key, folder / "server.key", fs::copy_options::overwrite_existing);
        ASSERT_TRUE(nginx.start());
        EXPECT_NE(readFile(folder / "server.pem"), readFile(pem));
        HttpAnswer answer = HttpClient(trusting(nginx.caFile())).get(nginx.base() + "2026/list.txt");
        EXPECT_EQ(answer.status, 200) << toUtf8(failureWord(answer));
    }
    EXPECT_EQ(readFile(nginx.caFile()), ca);
}

}  // namespace
}  // namespace quendro
