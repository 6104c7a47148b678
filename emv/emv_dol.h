// Data object lists (PDOL 9F38, CDOL1 8C, CDOL2 8D, DDOL 9F49, TDOL 97): a
// list of tag + length that names the data a terminal sends, and that data
// built from the values a terminal knows.
#pragma once

#include <cstdint>

#include "emv/emv.h"
#include "emv/emv_tlv.h"

constexpr int kEmvMaxDolEntries = 64;

// One entry: the tag, the length of its data, and where its data stands in
// the DOL data (the lengths of the entries before it added up).
struct EmvDolEntry {
    uint32_t tag;
    int32_t length;
    int32_t data_offset;
};

struct EmvDol {
    EmvDolEntry entries[kEmvMaxDolEntries];
    int32_t count;
    int32_t data_length;  // the lengths of all entries added up
};

// Parses a DOL: each entry a tag (1 to 3 bytes) and a length (short form,
// or 81 / 82 as in BER-TLV). EMV_TLV_OK, or the first problem and its
// offset in the DOL (EMV_TLV_TOO_MANY past kEmvMaxDolEntries entries). out
// holds the entries read before a problem.
EmvTlvStatus emv_dol_parse(EmvBytes dol, EmvDol* out, EmvTlvError* error);

// A value the terminal knows, for building DOL data.
struct EmvTagValue {
    uint32_t tag;
    EmvBytes value;
};

// Builds the data a DOL names into out (capacity bytes); *out_length gets
// dol->data_length. Per entry, the first value given with its tag:
//  - none (or a constructed tag): the entry's length of 00 bytes;
//  - as long as the entry: as it is;
//  - longer: numeric (n) values keep their rightmost bytes, others their
//    leftmost;
//  - shorter: numeric values get leading 00, compressed numeric (cn) values
//    trailing FF, others trailing 00.
// The format comes from the tag dictionary (emv_tag_format); a tag it does
// not know counts as binary. EMV_TLV_NO_ROOM when capacity is too short.
EmvTlvStatus emv_dol_build(const EmvDol* dol, const EmvTagValue* values, int32_t value_count,
                           uint8_t* out, int32_t capacity, int32_t* out_length);

// The part of dol_data (data built from dol) that the DOL places for tag:
// not given ({null, -1}) when the DOL has no such entry or dol_data is too
// short to hold it.
EmvBytes emv_dol_value(const EmvDol* dol, EmvBytes dol_data, uint32_t tag);
