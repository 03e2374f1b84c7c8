// The window's meet from the project's nginx over https: verified with the
// publisher's own CA, compressed answers that reach the procedures as the
// files' own bytes, and every transfer of a session on one HTTP/2 connection.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "platform/ca_file.h"
#include "platform/text_rules.h"
#include "store/ind2_table.h"
#include "tests/support/http_server.h"
#include "tests/support/latency_relay.h"
#include "tests/support/local_meet.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;

const char* const kMeet = "2026/2026001/";

// The sample meet as quendro-publish leaves it on the server.
void publishSample(const test::NginxPublisher& nginx) {
    fs::path meet = test::sampleMeet();
    nginx.place(std::string(kMeet) + "kijun.txt", readFile(meet / "kijun.dat"));
    nginx.place(std::string(kMeet) + "taikai.txt", readFile(meet / "taikai.dat"));
    nginx.place(std::string(kMeet) + "ind2.txt",
                ind2FromResults(readFile(meet / "kekka" / "KEKKA.DAT")).bytes);
    for (const auto& lap : fs::directory_iterator(meet / "lap"))
        nginx.place(std::string(kMeet) + "lap/" + lap.path().filename().string() + ".txt",
                    readFile(lap.path()));
}

test::NginxPublisher::Options tlsOptions(const fs::path& certificate = {},
                                         const fs::path& key = {}) {
    test::NginxPublisher::Options options;
    options.tls = true;
    options.certificate = certificate;
    options.key = key;
    return options;
}

std::string throughRelay(const test::LatencyRelay& relay, bool tls = true) {
    return std::string(tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(relay.port()) +
           "/swim/";
}

class HttpsMeet : public ::testing::Test {
  protected:
    void SetUp() override {
        nginx_ = std::make_unique<test::NginxPublisher>(m_.root() / "publisher", tlsOptions());
        ASSERT_TRUE(nginx_->running()) << nginx_->why();
        publishSample(*nginx_);
    }

    CurlTransfer::Limits trusting(const fs::path& ca) {
        CurlTransfer::Limits limits;
        limits.connectSeconds = 5;
        limits.transferSeconds = 20;
        limits.caFile = ca.string();
        return limits;
    }

    // A window that confirms the sample meet from base.
    std::unique_ptr<MainWindow> importFrom(InternetTransfer& inet, const std::string& base) {
        auto window = std::make_unique<MainWindow>(m_.machine(inet));
        window->txtTaikai.setText(fromUtf8(base));
        window->webMode = 1;
        window->seasonYear = u"2026";
        window->meetCode = u"2026001";
        window->Dir1.setPath(u"D:\\");
        window->cmdKakutei.click();
        return window;
    }

    test::TestMachine m_;
    std::unique_ptr<test::NginxPublisher> nginx_;
};

TEST_F(HttpsMeet, AMeetAndItsSwimsComeWholeOverOneConnection) {
    test::LatencyRelay relay(nginx_->port(), std::chrono::milliseconds(0));
    CurlTransfer inet(m_.files(), trusting(nginx_->caFile()));
    auto window = importFrom(inet, throughRelay(relay));
    ASSERT_EQ(window->importOutcome, ImportOutcome::Imported) << toUtf8(window->statusText);
    // Compressed on the way, the files' own bytes on arrival.
    fs::path meet = test::sampleMeet();
    EXPECT_EQ(readFile(m_.workingFolder() / "kijun.dat"), readFile(meet / "kijun.dat"));
    EXPECT_EQ(readFile(m_.workingFolder() / "taikai.dat"), readFile(meet / "taikai.dat"));
    for (const auto& lap : fs::directory_iterator(meet / "lap")) {
        Download body = inet.download(fromUtf8(throughRelay(relay) + kMeet + "lap/" +
                                               lap.path().filename().string() + ".txt"));
        ASSERT_TRUE(body.ok()) << lap.path();
        EXPECT_EQ(body.body, readFile(lap.path())) << lap.path();
    }
    window->lstNamae.setListIndex(0);
    window->lstShumoku.setListIndex(0);
    EXPECT_GT(window->splitCount, 0) << toUtf8(window->statusText);
    window->cmdHtml.click();
    EXPECT_EQ(window->htmlOutcome, WriteOutcome::Written) << toUtf8(window->statusText);
    // The three files of the import, every lap file and the page's: streams of
    // the one connection the import opened.
    EXPECT_EQ(relay.connections(), 1u);
    // The lap files went compressed: nginx's log counts fewer body bytes than
    // the files hold.
    std::string log = readFile(nginx_->accessLog());
    std::string line = log.substr(log.rfind("lap/r0001.txt"));
    size_t status = line.find("\" 200 ");
    ASSERT_NE(status, std::string::npos) << line;
    EXPECT_LT(std::stoul(line.substr(status + 6)), readFile(meet / "lap" / "r0001").size());
}

TEST_F(HttpsMeet, AnUnchangedLapFileIsA304WithCompressionOn) {
    CurlTransfer inet(m_.files(), trusting(nginx_->caFile()));
    std::u16string url = fromUtf8(nginx_->base() + kMeet + "lap/r0001.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // the file's second is past
    auto first = inet.openUrlIfChanged(url, {});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->body, readFile(test::sampleMeet() / "lap" / "r0001"));
    ASSERT_FALSE(first->validators.empty());
    auto second = inet.openUrlIfChanged(url, first->validators);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->changed);
}

// The size limit holds for the bytes after decompression: a small answer that
// unpacks past it is too large.
TEST_F(HttpsMeet, TheSizeLimitCountsTheBytesUnpacked) {
    CurlTransfer::Limits limits = trusting(nginx_->caFile());
    limits.maxBodyBytes = 1 << 20;
    CurlTransfer inet(m_.files(), limits);
    for (size_t size : {limits.maxBodyBytes, limits.maxBodyBytes + 1}) {
        std::string name = "lap/z" + std::to_string(size) + ".txt";
        fs::path file = nginx_->tree() / kMeet / name;
        nginx_->place(std::string(kMeet) + name, std::string(size, '0'));
        ASSERT_EQ(test::runCommand("gzip -f -n " + test::shellQuoted(file.string())).status, 0);
        ASSERT_LT(fs::file_size(file.string() + ".gz"), 4096u);
        Download body = inet.download(fromUtf8(nginx_->base() + kMeet + name));
        if (size == limits.maxBodyBytes) {
            EXPECT_TRUE(body.ok()) << size;
            EXPECT_EQ(body.body.size(), size);
        } else {
            EXPECT_EQ(body.failure, DownloadFailure::TooLarge) << size;
        }
    }
}

// A cancel (Esc) ends every stream of the batch at once, also on a link
// where the answers are still seconds away.
TEST_F(HttpsMeet, ACancelEndsEveryStreamOfTheConnectionSoon) {
    test::LatencyRelay relay(nginx_->port(), std::chrono::milliseconds(4000));
    CurlTransfer inet(m_.files(), trusting(nginx_->caFile()));
    std::vector<std::u16string> urls;
    for (const auto& lap : fs::directory_iterator(test::sampleMeet() / "lap"))
        urls.push_back(fromUtf8(throughRelay(relay) + kMeet + "lap/" +
                                lap.path().filename().string() + ".txt"));
    auto batch = inet.openUrls(urls);
    std::thread esc([&inet] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        inet.cancel();
    });
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < urls.size(); ++i) EXPECT_FALSE(batch->body(i).ok()) << i;
    esc.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Plain http stays HTTP/1.1, its connection kept from one download to the next.
TEST_F(HttpsMeet, PlainHttpKeepsItsConnectionForTheNextDownload) {
    test::NginxPublisher plain(m_.root() / "plain");
    ASSERT_TRUE(plain.running()) << plain.why();
    publishSample(plain);
    test::LatencyRelay relay(plain.port(), std::chrono::milliseconds(0));
    CurlTransfer inet(m_.files());
    for (const char* heat : {"r0001", "r0002", "r0003"}) {
        Download body =
            inet.download(fromUtf8(throughRelay(relay, false) + kMeet + "lap/" + heat + ".txt"));
        ASSERT_TRUE(body.ok()) << heat;
        EXPECT_EQ(body.body, readFile(test::sampleMeet() / "lap" / heat));
    }
    EXPECT_EQ(relay.connections(), 1u);
}

// A certificate that does not verify: nothing is taken, and the status line
// names the host and the reason.
TEST_F(HttpsMeet, ACertificateThatDoesNotVerifyIsToldAndNothingIsTaken) {
    test::TestCertificates made = test::makeTestCertificates(
        m_.root() / "certificates", nginx_->caFile(), nginx_->tlsFolder() / "ca.key");
    ASSERT_TRUE(made.why.empty()) << made.why;
    test::NginxPublisher expired(m_.root() / "expired",
                                 tlsOptions(made.expiredCert, made.expiredKey));
    test::NginxPublisher elsewhere(m_.root() / "elsewhere",
                                   tlsOptions(made.wrongHostCert, made.wrongHostKey));
    struct Case {
        const char* what;
        test::NginxPublisher* server;
        fs::path ca;
        CertificateProblem problem;
    };
    const Case cases[] = {
        {"another CA", nginx_.get(), made.otherCa, CertificateProblem::UnknownIssuer},
        {"no CA of the publisher", nginx_.get(), {}, CertificateProblem::UnknownIssuer},
        {"expired", &expired, nginx_->caFile(), CertificateProblem::Expired},
        {"another host", &elsewhere, nginx_->caFile(), CertificateProblem::WrongHost},
        {"no CA file", nginx_.get(), m_.root() / "none.pem", CertificateProblem::CaFileUnusable},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.server->running()) << c.what << ": " << c.server->why();
        publishSample(*c.server);
        fs::remove(m_.workingFolder() / "taikai.dat");
        CurlTransfer inet(m_.files(), trusting(c.ca));
        auto window = importFrom(inet, c.server->base());
        EXPECT_NE(window->importOutcome, ImportOutcome::Imported) << c.what;
        EXPECT_NE(window->statusText.find(certificateFailureWord(u"127.0.0.1", c.problem)),
                  std::u16string::npos)
            << c.what << ": " << toUtf8(window->statusText);
        EXPECT_FALSE(fs::exists(m_.workingFolder() / "taikai.dat")) << c.what;
    }
}

// A pipe named as the CA file is refused, and the window's transfers go on
// with the system's authorities: asking a server that speaks no TLS ends at
// once, where libcurl reading the pipe would wait for good.
TEST(HttpsMeetCaFile, APipeNamedAsTheCaFileNeverHoldsTheMeetList) {
    test::TestMachine m;
    test::HttpTestServer plain;
    const std::string pipe = (m.root() / "ca.pem").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    CurlTransfer::Limits limits{5, 20};
    limits.caFile = caFileForTransfers(chooseCaFile(pipe, nullptr));
    CurlTransfer inet(m.files(), limits);
    MainWindow window(m.machine(inet));
    window.txtTaikai.setText(fromUtf8("https" + plain.base().substr(4) + "/swim/"));
    auto listed = std::async(std::launch::async, [&window] { window.Form_Load(); });
    bool ended = listed.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    // Should it hang, a writer that comes and goes lets libcurl's read end.
    while (listed.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
}

}  // namespace
}  // namespace quendro
