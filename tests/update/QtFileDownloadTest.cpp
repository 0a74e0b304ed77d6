#include "platform/qt/QtFileDownload.h"

#include "StreamingHttpServer.h"
#include "platform/TempFolder.h"
#include "platform/apps/EventLoop.h"

#include <gtest/gtest.h>
#include <utility>

namespace vigilo {
namespace {

using namespace std::chrono_literals;
using testing::StreamingHttpServer;

constexpr std::uint64_t mebibyte = std::uint64_t{1} << 20U;

// What the server sends is never the client's to decide: an archive far over the limit is
// refused at once when its size is announced, else as its bytes arrive, taken piece by piece so
// that the client never holds much more than the limit; a transfer that trickles along fails at
// its total deadline.
TEST(QtFileDownloadTest, ServersCannotMakeADownloadHoldMoreThanItsLimitOrRunForever) {
    struct Case {
        const char* name;
        StreamingHttpServer::Body body;
        std::uint64_t limit = mebibyte;
        TransferDeadlines deadlines{.idle = 60s, .total = 60s};
        const char* failure = "larger than any update";
        /// How much of the body was written before the download failed.
        std::pair<std::uint64_t, std::uint64_t> written{0, mebibyte};
    };
    const Case cases[] = {
        {.name = "an archive far over the limit",
         .body = {.size = 64 * mebibyte},
         .written = {mebibyte / 2, mebibyte}},
        {.name = "an archive announced far over the limit",
         .body = {.size = 256 * mebibyte, .announced = true},
         .limit = 64 * mebibyte,
         .written = {0, 0}},
        {.name = "a byte every 100 ms",
         .body = {.size = 1000, .pause = 100ms},
         .deadlines = {.idle = 30s, .total = 1s},
         .failure = "took too long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        StreamingHttpServer server(c.body);
        QNetworkAccessManager network;
        std::uint64_t written = 0;
        std::optional<std::optional<std::string>> outcome;
        QtFileDownload download(
            network, server.url("/update.tar.gz"), folder.path() / "update.tar.gz", c.limit,
            c.deadlines,
            {.expectedLength = [](std::uint64_t) {},
             .received = [&written](std::uint64_t bytes) { written += bytes; },
             .finished = [&outcome](std::optional<std::string> failure) { outcome = failure; }});
        ASSERT_TRUE(vigilo::testing::runEventsUntil([&] { return outcome.has_value(); }, 60'000));

        ASSERT_TRUE(*outcome);
        EXPECT_NE((*outcome)->find(c.failure), std::string::npos) << **outcome;
        EXPECT_GE(written, c.written.first);
        EXPECT_LE(written, c.written.second);
        EXPECT_LT(server.sentBytes(), c.body.size / 4);
    }
}

} // namespace
} // namespace vigilo
