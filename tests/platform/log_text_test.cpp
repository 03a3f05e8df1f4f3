// The install log's bounded size: past its limit the older half goes, whole lines at a time.

#include "platform/log_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::keepNewestHalf;

TEST(LogText, AnEventStaysOnOneLineWhateverItHolds) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain 文字", "plain 文字"},  {"a\r\nb", "a\\r\\nb"},
        {"tab\there", "tab\\there"},   {std::string("nul\0x", 5), "nul\\x00x"},
        {"esc\x1b[2J", "esc\\x1B[2J"}, {"del\x7f", "del\\x7F"},
        {"\x01\x1f", "\\x01\\x1F"},    {"backslash \\n stays", "backslash \\n stays"},
    };
    for (const auto& [event, line] : cases)
        EXPECT_EQ(platform::logSafe(event), line) << line;
}

// However long an event, its line stays within the event limit and ends on a whole character:
// the newer half of the log and one line never pass the log's limit.
TEST(LogText, AnOverlongEventIsCutOnAWholeCharacter) {
    const std::string marker = "…（已截斷）";
    const std::pair<const char*, std::string> cases[] = {
        {"Chinese",
         [] {
             std::string s;
             for (int i = 0; i < 400'000; ++i)
                 s += "界";
             return s;
         }()},
        {"control characters, four bytes each", std::string(300'000, '\x01')},
        {"one byte short of the limit", std::string(platform::kLogEventLimitBytes - 1, 'a')},
    };
    for (const auto& [what, event] : cases) {
        const std::string line = platform::logSafe(event);
        EXPECT_LE(line.size(), platform::kLogEventLimitBytes + marker.size()) << what;
        if (event.size() < platform::kLogEventLimitBytes) {
            EXPECT_EQ(line, event) << what;
            continue;
        }
        ASSERT_TRUE(line.ends_with(marker)) << what;
        const std::string kept = line.substr(0, line.size() - marker.size());
        EXPECT_TRUE(event.starts_with(kept) || std::string(what).starts_with("control")) << what;
        EXPECT_EQ(kept.size() % (std::string(what) == "Chinese" ? 3 : 4), 0u) << what;
    }
    EXPECT_LT(platform::kLogLimitBytes / 2 + platform::kLogEventLimitBytes + 64,
              platform::kLogLimitBytes);
}

TEST(LogText, ErrorNumbersReadAsTheSystemShowsThem) {
    const std::pair<long long, const char*> cases[] = {
        {0, "0"},
        {53, "53"},
        {1603, "1603"},
        {65535, "65535"},
        {65536, "0x00010000"},
        {0x80070002LL, "0x80070002"},
        {-2147024894LL, "0x80070002"},  // the same HRESULT read as a signed number
        {0x80041002LL, "0x80041002"},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(platform::errorNumberText(number), text) << number;
}

TEST(LogTrim, KeepsTheNewestWholeLinesWithinHalfTheLimit) {
    struct Case {
        const char* what;
        std::string content;
        std::size_t limit;
        std::string kept;
    };
    const Case cases[] = {
        {"under half: all stays", "a\r\nb\r\n", 100, "a\r\nb\r\n"},
        {"exactly half: all stays", "aaaa\r\n", 12, "aaaa\r\n"},
        {"cut at a line start", "1111\r\n2222\r\n", 12, "2222\r\n"},
        {"cut inside a line: that line goes", "11\r\n22222\r\n3\r\n", 12, "3\r\n"},
        {"cut between CR and LF", "1234\r\n5\r\n", 8, "5\r\n"},
        {"cut inside a character", "舊舊\r\n新\r\n", 16, "新\r\n"},
        {"one long last line: nothing stays", "0\r\n" + std::string(20, 'x') + "\r\n", 10, ""},
        {"a last line without a break is never halved", "1\r\n22222222", 10, ""},
        {"empty", "", 10, ""},
    };
    for (const Case& c : cases) {
        const std::string kept = keepNewestHalf(c.content, c.limit);
        EXPECT_EQ(kept, c.kept) << c.what;
        EXPECT_LE(kept.size(), c.limit / 2) << c.what;
    }
}

// Appends as the log does: a line that would take the file past the limit trims it first.
TEST(LogTrim, ALogWrittenLineByLineStaysWithinTheLimitAndDropsItsOldestLinesFirst) {
    const std::size_t limit = 1000;
    std::string log;
    std::size_t firstKept = 0;  // number of the oldest line still in the log
    for (std::size_t n = 0; n < 500; ++n) {
        const std::string line = "event " + std::to_string(n) + std::string(n % 37, '.') + "\r\n";
        if (log.size() + line.size() > limit)
            log = keepNewestHalf(log, limit);
        log += line;
        ASSERT_LE(log.size(), limit) << n;
        // The log still begins with a whole line, and its lines run on without a gap.
        ASSERT_EQ(log.rfind("event ", 0), 0u) << n;
        const std::size_t oldest = std::stoul(log.substr(6));
        ASSERT_GE(oldest, firstKept) << n;
        firstKept = oldest;
        std::size_t expected = oldest;
        for (std::size_t at = 0; at < log.size(); at = log.find("\r\n", at) + 2)
            ASSERT_EQ(std::stoul(log.substr(at + 6)), expected++) << n;
        ASSERT_EQ(expected, n + 1) << n;
    }
    EXPECT_GT(firstKept, 0u);
}

}  // namespace
