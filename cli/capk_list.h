// CAPK list files as the subcommands read them: strictly and whole (see
// cli/strict_capk_list.h), every damaged entry reported by its line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/output.h"
#include "cli/strict_capk_list.h"
#include "core/capk.h"

// Every key of the file at path and every problem found in it. Throws
// UsageError "PATH: reason" when the file cannot be opened or read.
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
