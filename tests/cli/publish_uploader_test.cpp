// The uploader's one map of what each address took, on the project's nginx
// publisher.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/publish/uploader.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

// Bytes an address took already are not sent to it again; the same bytes go
// to another address, and other bytes to the same one.
TEST(UploaderTest, AnAddressIsSentOnlyBytesItDoesNotHold) {
    test::TestMachine m;
    test::NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running());
    HttpClient http(HttpClient::uploadLimits());
    std::ostringstream out;
    Uploader uploader(http, nginx.base() + "2026/list.txt", out);
    const std::string a = nginx.base() + "2026/2026001/lap/r0001.txt";
    const std::string b = nginx.base() + "2026/2026001/lap/r0002.txt";
    const std::string one = "1,31.25\r\n", two = "1,31.25\r\n2,32.00\r\n";
    std::string failure;
    ASSERT_TRUE(uploader.learnStorage(failure)) << failure;
    ASSERT_TRUE(uploader.putAll({{a, &one}}).front().ok);
    struct Case {
        const std::string& address;
        const std::string& bytes;
        Uploader::Plain outcome;
    };
    const Case cases[] = {
        {a, one, Uploader::Plain::Held},  // sent in the batch above
        {b, one, Uploader::Plain::Sent},  // another address, the same bytes
        {a, two, Uploader::Plain::Sent},  // the same address, other bytes
        {a, two, Uploader::Plain::Held},
        {b, one, Uploader::Plain::Held},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(uploader.putUnlessHeld(c.address, c.bytes, failure), c.outcome)
            << c.address << " " << c.bytes.size() << " " << failure;
    }
}

}  // namespace
}  // namespace quendro
