// The lines of a one-key-a-line list (pm3, tsv, tlv) and the hex values on
// them, judged strictly: a value is read whole or the reason is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capk/key_list.h"

struct ListLine {
    int64_t number;    // 1-based
    std::string text;  // without its line end (LF, or CR LF)
};

// Every line that is an entry: not blank, not starting with '#' (with
// tab_entries, a line with a tab is an entry whatever its start: a tsv
// key's name may start with '#').
std::vector<ListLine> entry_lines(const std::string& text, bool tab_entries = false);

// Hex digits in either case, two a byte, nothing else. Returns an empty
// string and fills out, else the reason.
std::string decode_plain_hex(const std::string& text, std::vector<uint8_t>& out);

// Hex as above, or bytes of two digits each joined by ':' ("a0:00:03").
std::string decode_colon_hex(const std::string& text, std::vector<uint8_t>& out);

// A field of a fixed size, decoded by decode: the reason when it is not.
std::string decode_sized(const std::string& name, const std::string& text, size_t size,
                         std::vector<uint8_t>& out, bool colons);

// The key's list fields that a form always holds, checked: RID 5 bytes,
// index 1, modulus at least 1 byte, exponent at least 1. The reason, or empty.
std::string check_key_sizes(const std::vector<uint8_t>& rid, const std::vector<uint8_t>& index,
                            const std::vector<uint8_t>& modulus,
                            const std::vector<uint8_t>& exponent, ListedKey& key);

// The label of a key whose RID and index were read, else empty.
std::string label_if_known(const std::vector<uint8_t>& rid, const std::vector<uint8_t>& index);

// The key list's line-sorted problem list.
void sort_problems(KeyList& list);
