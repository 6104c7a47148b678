// Reader of the CAPK list file.
//
// The file is plain text, lines ending in LF or CR LF. Each key is five
// tagged lines in this order; any other line is skipped:
//
//   RID : "A000000999"          hex, exactly 5 bytes
//   INDEX : "F1"                hex, exactly 1 byte
//   MODULUS : "C1D2...B0"       hex, 0 to 248 bytes
//   EXPONENT : 3                decimal, 3 or 65537
//   CHECKSUM : "1D78...50BF"    hex, exactly 20 bytes
//
// A tag matches only at the first character of a line, byte for byte. A hex
// value runs from the tag up to the first double quote, or to the end of the
// line read when there is none; it is decoded by hex_to_bytes (pad_odd
// false), so blanks in front of a byte are allowed and decoding stops
// silently at any other non-digit. Only the count of complete bytes is judged.
#pragma once

#include <cstdint>

#include "core/capk.h"

// Result of load_capk_file when the file cannot be opened (0x80000001).
constexpr int32_t CAPK_FILE_OPEN_FAILED = INT32_MIN + 1;

// Reads the list file at path into records[0 ..), in file order.
//
// path      terminated file name, opened in binary mode (a CR stays part of
//           its line). A null path counts as a file that cannot be opened.
// records   MUST point to at least kMaxCapks slots. Accepted keys are written
//           from slot 0 on; slots past the stored count are left as they were.
// count_out receives the number of records stored (0..kMaxCapks); MAY be null.
//
// Lines are read kCapkFileLineSize - 1 characters at a time; a longer line is
// examined in pieces, each as a line of its own. The search for each field
// skips every line without that field's tag, including other tags. A key
// whose field fails its check is dropped whole, and the search for the next
// RID line starts after the last line read, so the dropped key's remaining
// lines are skipped. A key cut off by the end of the file is dropped. Reading
// ends after kMaxCapks keys are stored. A read error counts as end of file.
//
// The exponent is read as the decimal number after its tag (leading white
// space, an optional sign, digits; anything after them is ignored). A line
// with no number, or a number outside the signed 32-bit range, drops the key
// like any value other than 3 and 65537.
//
// Returns 0 whenever the file was opened, whatever it held, and
// CAPK_FILE_OPEN_FAILED otherwise; then neither records nor *count_out is
// touched.
int32_t load_capk_file(const char* path, CapkRecord* records, int32_t* count_out);
