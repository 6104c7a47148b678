// Status words: the ones a card answers EMV commands with, as ISO 7816-4
// and EMV define them.
#include <cstdio>

#include "emv/emv_decode.h"

namespace {

struct SwMeaning {
    uint16_t sw;
    const char* meaning;
};

const SwMeaning kExact[] = {
    {0x9000, "success"},
    {0x6200, "warning: state of non-volatile memory unchanged"},
    {0x6281, "warning: part of the returned data may be corrupted"},
    {0x6282, "warning: end of file or record reached before Le bytes"},
    {0x6283, "warning: selected file or application invalidated (blocked)"},
    {0x6284, "warning: FCI not formatted as expected"},
    {0x6300, "verification failed"},
    {0x6400, "error: state of non-volatile memory unchanged"},
    {0x6581, "error: memory failure"},
    {0x6700, "wrong length"},
    {0x6800, "functions in CLA not supported"},
    {0x6881, "logical channel not supported"},
    {0x6882, "secure messaging not supported"},
    {0x6981, "command incompatible with file structure"},
    {0x6982, "security status not satisfied"},
    {0x6983, "authentication method blocked (PIN try limit exceeded)"},
    {0x6984, "referenced data invalidated (blocked)"},
    {0x6985, "conditions of use not satisfied"},
    {0x6986, "command not allowed (no current EF)"},
    {0x6987, "expected secure messaging data objects missing"},
    {0x6988, "secure messaging data objects incorrect"},
    {0x6A80, "incorrect parameters in the data field"},
    {0x6A81, "function not supported"},
    {0x6A82, "file or application not found"},
    {0x6A83, "record not found"},
    {0x6A84, "not enough memory space in the file"},
    {0x6A86, "incorrect parameters P1-P2"},
    {0x6A88, "referenced data (data objects) not found"},
    {0x6B00, "wrong parameters P1-P2"},
    {0x6D00, "instruction code not supported or invalid"},
    {0x6E00, "class not supported"},
    {0x6F00, "no precise diagnosis"},
};

}  // namespace

const char* emv_sw_meaning(uint16_t sw, char* out, int32_t capacity)
{
    if (capacity <= 0)
        return out;
    const uint8_t sw1 = static_cast<uint8_t>(sw >> 8);
    const uint8_t sw2 = static_cast<uint8_t>(sw);
    const size_t room = static_cast<size_t>(capacity);
    if (sw1 == 0x61) {
        snprintf(out, room, "%u bytes of response data still available (GET RESPONSE)",
                 sw2 == 0 ? 256u : sw2);
        return out;
    }
    if (sw1 == 0x6C) {
        snprintf(out, room, "wrong Le: %u bytes available (send the command again with Le)",
                 sw2 == 0 ? 256u : sw2);
        return out;
    }
    if (sw1 == 0x63 && (sw2 & 0xF0) == 0xC0) {
        const unsigned left = sw2 & 0x0F;
        snprintf(out, room, "verification failed: %u %s left", left, left == 1 ? "try" : "tries");
        return out;
    }
    for (const SwMeaning& m : kExact) {
        if (m.sw == sw) {
            snprintf(out, room, "%s", m.meaning);
            return out;
        }
    }
    snprintf(out, room, "unknown");
    return out;
}
