// The EMV tag dictionary: the name and format of every data element a
// terminal and a card exchange, and the common scheme tags met in card data.
#pragma once

#include <cstdint>

// How a data element's value is coded.
enum EmvTagFormat : uint8_t {
    EMV_TAG_BINARY = 0,      // b (also templates and anything not listed)
    EMV_TAG_NUMERIC = 1,     // n: BCD, right-justified, leading zeros
    EMV_TAG_COMPRESSED = 2,  // cn: BCD, left-justified, trailing F
    EMV_TAG_ALPHA = 3,       // a, an: letters and digits
    EMV_TAG_TEXT = 4,        // ans: any printable text
};

struct EmvTagInfo {
    uint32_t tag;  // as in EmvTlv: 9F46 -> 0x9F46
    const char* name;
    EmvTagFormat format;
};

// The dictionary's entry for tag, or null when it has none.
const EmvTagInfo* emv_tag_info(uint32_t tag);

// The tag's name ("Application Interchange Profile"), or null when unknown.
const char* emv_tag_name(uint32_t tag);

// The tag's format; EMV_TAG_BINARY when unknown.
EmvTagFormat emv_tag_format(uint32_t tag);
