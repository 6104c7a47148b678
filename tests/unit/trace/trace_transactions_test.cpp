// Where the transactions of a log start: each SELECT of an application that
// a taken GET PROCESSING OPTIONS follows, after the one before had its own.

#include <gtest/gtest.h>

#include "trace/trace_file.h"

namespace {

// A log in a few letters: P a SELECT of the PPSE, S of an application, G a
// GET PROCESSING OPTIONS taken (9000), g one refused (6985), w a T=0 61XX
// answer to GET PROCESSING OPTIONS, r a READ RECORD, a a GENERATE AC.
std::vector<TraceExchange> log_of(const std::string& letters)
{
    std::vector<TraceExchange> log;
    int line = 1;
    for (char c : letters) {
        TraceExchange e;
        e.response = {0x90, 0x00};
        switch (c) {
            case 'P':
                e.command = {0x00, 0xA4, 0x04, 0x00, 0x0E, '2', 'P', 'A', 'Y'};
                break;
            case 'S':
                e.command = {0x00, 0xA4, 0x04, 0x00, 0x07, 0xA0, 0, 0, 0, 0x03, 0x10, 0x10};
                break;
            case 'G':
            case 'g':
            case 'w':
                e.command = {0x80, 0xA8, 0x00, 0x00, 0x02, 0x83, 0x00};
                e.response = c == 'G'   ? std::vector<uint8_t>{0x80, 0x02, 0x00, 0x00, 0x90, 0x00}
                             : c == 'g' ? std::vector<uint8_t>{0x69, 0x85}
                                        : std::vector<uint8_t>{0x61, 0x10};
                break;
            case 'r':
                e.command = {0x00, 0xB2, 0x01, 0x0C, 0x00};
                break;
            default:
                e.command = {0x80, 0xAE, 0x80, 0x00, 0x00};
        }
        e.command_line = line;
        e.response_line = line + 1;
        line += 2;
        log.push_back(e);
    }
    return log;
}

TEST(TraceTransactions, EachTapStartsAtItsFirstSelect)
{
    const struct {
        const char* log;
        std::vector<size_t> starts;
    } rows[] = {
        {"PSGra", {0}},
        {"PSGraPSGra", {0, 5}},
        {"SGraSGraSwra", {0, 4, 8}},
        // A refused GET PROCESSING OPTIONS: the terminal selects the next
        // application in the same transaction.
        {"PSgSGra", {0}},
        // A SELECT after the last GET PROCESSING OPTIONS that none follows
        // stays with the transaction before.
        {"PSGraPS", {0}},
        {"rra", {0}},
        {"", {0}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(transaction_starts(log_of(r.log)), r.starts) << r.log;
    }
}

TEST(TraceTransactions, TheNthTransactionsExchanges)
{
    const std::vector<TraceExchange> log = log_of("PSGraPSGr");
    const std::vector<size_t> starts = transaction_starts(log);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(transaction_exchanges(log, starts, 1).size(), 5u);
    const std::vector<TraceExchange> second = transaction_exchanges(log, starts, 2);
    ASSERT_EQ(second.size(), 4u);
    EXPECT_EQ(second.front().command_line, 11);
    EXPECT_TRUE(transaction_exchanges(log, starts, 3).empty());
    EXPECT_TRUE(transaction_exchanges(log, starts, 0).empty());
}

TEST(TraceTransactions, ReaderErrorsCarryTheirLine)
{
    try {
        read_trace("> 00A40400\n< 6F0G9000\n");
        FAIL() << "read";
    } catch (const TraceError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_STREQ(e.what(), "line 2: not a hex digit: 'G' at position 6");
    }
}

}  // namespace
