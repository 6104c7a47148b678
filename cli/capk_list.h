// CA key lists as the subcommands read them: in any form (capk/key_list),
// strictly and whole, every damaged entry reported by its line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capk/key_list.h"
#include "capk/strict_capk_list.h"
#include "cli/output.h"
#include "core/capk.h"

// The list at path, in the form forced (a --format name, empty: told from
// its content). Throws UsageError "PATH: reason" when the file cannot be
// read, naming what was expected when its form cannot be told.
KeyList load_key_list(const std::string& path, const std::string& forced_format = "");

// Every key of the list at path that the core's record holds, and every
// problem. A key it cannot hold (a modulus over 248 bytes, an exponent other
// than 3 or 65537) is a problem of its line. Throws as load_key_list.
StrictCapkList load_capk_list(const std::string& path);

// The first key of the list file at path listed under label (either letter
// case). Throws UsageError naming key_argument when no key has that label,
// or when an entry under that label has a problem (naming its line).
CapkRecord find_listed_key(const std::string& path, const std::string& key_argument,
                           const std::string& label);

// The problems as JSON (line, label when known, reason) and as text lines
// "Line 12: A000000003_09: CHECKSUM: has 19 bytes, must be 20".
Json problems_json(const std::vector<CapkListProblem>& problems);
void add_problem_lines(std::string& text, const std::vector<CapkListProblem>& problems);

// The checksum input of a key (RID | index | modulus | exponent) and its
// SHA-1 digest, the value a list stores as the key's checksum.
struct KeyChecksum {
    std::vector<uint8_t> input;
    std::vector<uint8_t> digest;
};
KeyChecksum compute_checksum(const CapkRecord& rec);
