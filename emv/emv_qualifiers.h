// The contactless qualifiers coded bit by bit: the terminal transaction
// qualifiers (9F66) a reader sends in the PDOL data, and the card
// transaction qualifiers (9F6C) a card returns, which fDDA's failure
// action is read from.
#pragma once

#include <cstdint>

// One bit of a qualifier: byte (0 for the first) and mask, and its meaning.
struct EmvQualifierBit {
    uint8_t byte;
    uint8_t mask;
    const char* name;
};

// The named bits of the qualifier with the tag (9F66, 9F6C), count of them
// in *count; null (and 0) for any other tag. Bits not listed are RFU.
const EmvQualifierBit* emv_qualifier_bits(uint32_t tag, int32_t* count);
