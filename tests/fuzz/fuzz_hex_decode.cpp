// Fuzzes the hex decoder and the input clean-up with arbitrary text, and the
// display form round trip with arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/hex_codec.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Decodes text[0 .. length) into a heap buffer of exactly the documented
// capacity, so any write past it is an ASan report; returns the count.
int32_t decode_exact(const char* text, uint32_t length, bool pad_odd,
                     std::unique_ptr<uint8_t[]>& out)
{
    out.reset(new uint8_t[(length + 1) / 2]);
    int32_t count = -1;
    hex_to_bytes(text, length, out.get(), &count, pad_odd);
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const char* text = reinterpret_cast<const char*>(data);
    const uint32_t length = static_cast<uint32_t>(size);
    std::unique_ptr<uint8_t[]> out;

    const int32_t count = decode_exact(text, length, false, out);
    FUZZ_CHECK(count >= 0 && static_cast<uint32_t>(count) <= length / 2);
    const int32_t padded = decode_exact(text, length, true, out);
    FUZZ_CHECK(padded >= 0 && static_cast<uint32_t>(padded) <= (length + 1) / 2);

    // Clean-up: a terminated copy, cut at the first NUL as any C string is.
    std::string copy(text, size);
    const size_t before = std::strlen(copy.c_str());
    const size_t kept = strip_hex_input(&copy[0]);
    FUZZ_CHECK(kept <= before && std::strlen(copy.c_str()) == kept);
    FUZZ_CHECK(std::strpbrk(copy.c_str(), " \r\n") == nullptr);
    const int32_t stripped = decode_exact(copy.c_str(), static_cast<uint32_t>(kept), false, out);
    FUZZ_CHECK(stripped >= 0 && static_cast<uint32_t>(stripped) <= kept / 2);

    // Any bytes, shown in the display form, stripped and decoded, come back.
    std::string display = format_hex_display(data, static_cast<int32_t>(size));
    FUZZ_CHECK(display.size() == 3 * size + (size == 0 ? 0 : (size - 1) / 32 * 2));
    display.resize(strip_hex_input(&display[0]));
    const int32_t round =
        decode_exact(display.data(), static_cast<uint32_t>(display.size()), false, out);
    FUZZ_CHECK(round == static_cast<int32_t>(size));
    FUZZ_CHECK(size == 0 || std::memcmp(out.get(), data, size) == 0);

    const std::string compact = format_hex_compact(data, static_cast<int32_t>(size));
    FUZZ_CHECK(compact.size() == 2 * size && compact == display);
    return 0;
}
