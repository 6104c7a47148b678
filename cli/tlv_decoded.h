// What a value means, for the data elements whose coding a reader cannot
// see at a glance in hex: the DOLs (9F38, 8C, 8D, 9F49, 97: each tag, its
// length and name), the AFL (94: per entry SFI, records, ODA count), the AIP
// (82: the offline data authentication methods it supports), the dates
// (5F24, 5F25, 9A), the contactless qualifiers (9F66, 9F6C: the bits set)
// and the card authentication related data (9F69). Shared by tlv and oda.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emv/emv.h"

// Lines saying what value means; none for other tags.
std::vector<std::string> decoded_value(uint32_t tag, EmvBytes value);

// The AIP's methods, "SDA, DDA, CDA" or "none".
std::string aip_methods(const uint8_t aip[2]);

// One AFL entry, "SFI 1: records 2-3, 1 for ODA".
std::string afl_entry_text(uint8_t sfi, uint8_t first, uint8_t last, uint8_t oda_records);

// The tag as its bytes in hex, "9F38".
std::string tag_text(uint32_t tag);
