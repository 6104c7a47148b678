// Fuzzes the trace reader, the split into transactions and the field
// decoders with any text: the reader either refuses with a line inside the
// text or gives exchanges in line order with their header and SW; every
// transaction starts inside the log, in order; every command, status word
// and bit of the data decodes to a text within its buffer.
#include <cstdint>
#include <cstring>
#include <string>

#include "emv/emv_decode.h"
#include "tests/fuzz/fuzz_check.h"
#include "trace/trace_file.h"

namespace {

int line_count(const std::string& text)
{
    int lines = 1;
    for (char c : text)
        lines += c == '\n' || c == '\r';
    return lines;
}

void decode_exchange(const TraceExchange& e)
{
    EmvCommandInfo info;
    emv_decode_command({e.command.data(), static_cast<int32_t>(e.command.size())}, &info);
    FUZZ_CHECK(info.name != nullptr && info.name[0] != '\0');
    FUZZ_CHECK(emv_command_dol(&info, 0) <= EMV_DOL_DDOL);
    const size_t n = e.response.size();
    char text[80];
    memset(text, 'x', sizeof text);
    emv_sw_meaning(static_cast<uint16_t>(e.response[n - 2] << 8 | e.response[n - 1]), text, 40);
    FUZZ_CHECK(strlen(text) < 40 && text[41] == 'x');
    // Every byte of the answer read as each coded element and code.
    for (size_t i = 0; i + 1 < n; ++i) {
        const uint8_t b = e.response[i];
        for (uint32_t tag : {0x82u, 0x95u, 0x9Bu, 0x9F07u, 0x9F27u, 0x9F33u, 0x9F40u}) {
            for (int bit = 1; bit <= 8; ++bit)
                FUZZ_CHECK(emv_bit_meaning(tag, static_cast<int32_t>(i % 6), bit) != nullptr);
        }
        const EmvCvRule rule = emv_cv_rule(b, e.response[i + 1]);
        FUZZ_CHECK(rule.method <= 0x3F);
        FUZZ_CHECK(emv_cvm_method_name(rule.method) && emv_cvm_condition_name(rule.condition) &&
                   emv_cvm_result_name(b));
        emv_terminal_type_text(b, text, 24);
        FUZZ_CHECK(strlen(text) < 24);
        emv_transaction_type_name(b);
        const int32_t code = emv_bcd_code({e.response.data() + i, 2});
        FUZZ_CHECK(code >= -1 && code <= 9999);
        if (code >= 0) {
            emv_currency(static_cast<uint16_t>(code));
            emv_country(static_cast<uint16_t>(code));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Trace trace;
    try {
        trace = read_trace(text);
    } catch (const TraceError& e) {
        FUZZ_CHECK(e.line() >= 0 && e.line() <= line_count(text));
        return 0;
    }
    FUZZ_CHECK(!trace.exchanges.empty());
    int last = 0;
    for (const TraceExchange& e : trace.exchanges) {
        FUZZ_CHECK(e.command.size() >= 4 && e.response.size() >= 2);
        FUZZ_CHECK(e.command_line > last && e.response_line > e.command_line);
        last = e.response_line;
        decode_exchange(e);
    }
    const std::vector<size_t> starts = transaction_starts(trace.exchanges);
    FUZZ_CHECK(!starts.empty() && starts[0] == 0);
    size_t total = 0;
    for (size_t i = 0; i < starts.size(); ++i) {
        FUZZ_CHECK(i == 0 || (starts[i] > starts[i - 1] && starts[i] < trace.exchanges.size()));
        total += transaction_exchanges(trace.exchanges, starts, i + 1).size();
    }
    FUZZ_CHECK(total == trace.exchanges.size());
    return 0;
}
