// Fuzzes the BER-TLV reader, the lookup and DOLs with any bytes: every
// object returned lies inside the input, the walk and the whole-data check
// agree, a lookup finds what the walk saw first, and DOL data is built and
// read back within its bounds. libFuzzer and the replay driver pass an
// exact-size heap copy, so ASan sees any read past the input.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "emv/emv_dol.h"
#include "emv/emv_tags.h"
#include "emv/emv_tlv.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr int32_t kMaxValues = 8;
constexpr int32_t kMaxDolData = 1 << 16;

// Walks the whole input; returns the status the walk ended with and keeps
// the first objects as known values for the DOL build.
EmvTlvStatus walk_all(EmvBytes input, EmvTagValue* values, int32_t* value_count)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, input);
    EmvTlv o;
    EmvTlvError error = {EMV_TLV_OK, 0};
    EmvTlvStatus status;
    while ((status = emv_tlv_walk_next(&walk, &o, &error)) == EMV_TLV_OK) {
        FUZZ_CHECK(o.offset >= 0 && o.length >= 0 && o.tag_length >= 1 && o.tag_length <= 3);
        FUZZ_CHECK(o.offset + o.header_length + o.length <= input.length);
        FUZZ_CHECK(o.value == input.data + o.offset + o.header_length);
        FUZZ_CHECK(walk.depth >= 0 && walk.depth < kEmvTlvMaxDepth);
        emv_tag_name(o.tag);
        if (*value_count < kMaxValues) {
            values[(*value_count)++] = {o.tag, emv_tlv_value(&o)};
        }
    }
    if (status != EMV_TLV_END) {
        FUZZ_CHECK(error.status == status && error.offset >= 0 && error.offset <= input.length);
    }
    return status;
}

void check_lookup(EmvBytes input, const EmvTagValue* values, int32_t value_count)
{
    if (value_count == 0) {
        return;
    }
    EmvTlv found;
    // The walk met this tag first, so the lookup finds the same object.
    FUZZ_CHECK(emv_tlv_find(input, values[0].tag, &found, nullptr) == EMV_TLV_OK);
    FUZZ_CHECK(found.value == values[0].value.data && found.length == values[0].value.length);
    const EmvBytes encoded = emv_tlv_encoded(&found);
    FUZZ_CHECK(encoded.data >= input.data &&
               encoded.data + encoded.length <= input.data + input.length);
}

void check_dol(EmvBytes input, const EmvTagValue* values, int32_t value_count)
{
    EmvDol dol;
    if (emv_dol_parse(input, &dol, nullptr) != EMV_TLV_OK || dol.data_length > kMaxDolData) {
        return;
    }
    const int32_t n = dol.data_length;
    std::unique_ptr<uint8_t[]> out(new uint8_t[n > 0 ? n : 1]);
    int32_t length = -1;
    FUZZ_CHECK(emv_dol_build(&dol, values, value_count, out.get(), n, &length) == EMV_TLV_OK);
    FUZZ_CHECK(length == n);
    if (n > 0) {
        FUZZ_CHECK(emv_dol_build(&dol, values, value_count, out.get(), n - 1, &length) ==
                   EMV_TLV_NO_ROOM);
    }
    const EmvBytes data = {out.get(), n};
    for (int32_t i = 0; i < dol.count; ++i) {
        const EmvBytes v = emv_dol_value(&dol, data, dol.entries[i].tag);
        FUZZ_CHECK(v.length >= 0 && v.data >= out.get() && v.data + v.length <= out.get() + n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20)) {
        return 0;
    }
    const EmvBytes input = {data, static_cast<int32_t>(size)};
    EmvTagValue values[kMaxValues];
    int32_t value_count = 0;
    const EmvTlvStatus walked = walk_all(input, values, &value_count);
    const EmvTlvStatus checked = emv_tlv_check(input, nullptr);
    FUZZ_CHECK(walked == EMV_TLV_END ? checked == EMV_TLV_OK : checked == walked);
    check_lookup(input, values, value_count);
    check_dol(input, values, value_count);
    return 0;
}
