// The rules that belong to a CA public key itself, shared by the window and
// the command-line program: the input its checksum is computed over, and the
// label under which it is listed.
#pragma once

#include <cstdint>

#include "core/capk.h"

// Longest checksum input: RID 5 + index 1 + modulus 248 + exponent 3 bytes.
constexpr int kCapkChecksumInputMax = 5 + 1 + kMaxModulusLength + 3;

// Writes the checksum input of rec into out: RID | index | modulus |
// exponent, the exponent in its shortest big-endian form (03, or 01 00 01 for
// 65537).
//
// out MUST hold at least 9 + rec->modulus_length bytes (kCapkChecksumInputMax
//     is enough for any record).
// Returns the number of bytes written, or -1 when rec->exponent is neither 3
// nor 65537 (the list-file reader stores no other value); then out holds
// RID | index | modulus only.
int32_t capk_checksum_input(const CapkRecord* rec, uint8_t* out);

// Characters of a key label with its terminating NUL: "A000000003_09".
constexpr int kCapkLabelSize = 14;

// Writes the key's list label, RID and index in upper-case hex joined by an
// underscore ("%02X%02X%02X%02X%02X_%02X"), terminated, into out.
void capk_label(const CapkRecord* rec, char out[kCapkLabelSize]);
