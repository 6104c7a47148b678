// Fuzzes the readers of every CA key list form: the first byte chooses the
// form, the rest is the list's text. No crash and nothing read past the
// input (ASan); every entry line gives either a key or a problem, each with
// its line; the findings run over whatever was read; and what was read,
// written in each form, reads back as the same number of keys.
#include <cstdint>
#include <string>

#include "capk/key_list.h"
#include "capk/key_list_writer.h"
#include "capk/list_findings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

int64_t line_count(const std::string& text)
{
    int64_t n = 1;
    for (char c : text)
        n += c == '\n' ? 1 : 0;
    return n;
}

void check_read(const KeyList& list, CapkFormat format, const std::string& text)
{
    const int64_t lines = line_count(text);
    for (const ListedKey& key : list.keys) {
        FUZZ_CHECK(!key.modulus.empty() && !key.exponent.empty());
        FUZZ_CHECK(key.exponent.size() == 1 || key.exponent[0] != 0);
        if (format != CapkFormat::kJson)
            FUZZ_CHECK(key.line >= 1 && key.line <= lines);
    }
    for (const CapkListProblem& p : list.problems)
        FUZZ_CHECK(p.line >= 1 && (format == CapkFormat::kJson || p.line <= lines));
    if (format == CapkFormat::kPm3 || format == CapkFormat::kTsv || format == CapkFormat::kTlv) {
        // One key or one problem a line: none shared, none missing.
        int64_t last = 0;
        size_t k = 0;
        size_t p = 0;
        while (k < list.keys.size() || p < list.problems.size()) {
            const bool take_key =
                p == list.problems.size() ||
                (k < list.keys.size() && list.keys[k].line < list.problems[p].line);
            const int64_t line = take_key ? list.keys[k++].line : list.problems[p++].line;
            FUZZ_CHECK(line > last);
            last = line;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const CapkFormat format = kCapkFormats[data[0] % 5];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    CapkFormat told = format;
    (void)detect_capk_format(text, told);
    KeyList list = read_key_list(text, format);
    check_read(list, format, text);
    (void)find_list_faults(list, &list, 20261209);
    for (ListedKey& key : list.keys) {
        const std::vector<uint8_t> sum = listed_key_checksum(key);
        std::copy(sum.begin(), sum.end(), key.checksum);
        key.has_checksum = true;
    }
    // The tarvello form holds only what its strict reader accepts.
    for (CapkFormat to :
         {CapkFormat::kPm3, CapkFormat::kTsv, CapkFormat::kTlv, CapkFormat::kJson}) {
        const KeyList back = read_key_list(write_key_list(list.keys, to), to);
        FUZZ_CHECK(back.problems.empty() && back.keys.size() == list.keys.size());
    }
    return 0;
}
