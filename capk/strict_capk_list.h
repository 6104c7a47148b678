// CAPK list files read strictly and whole, as a verifier must read them.
//
// The window's reader (core/capk_file) is silent by design: it stops at 100
// keys, drops a damaged key without a word, and reads a value cut at its
// first bad character as if it were whole. This reader takes the same
// format, reads every key, and reports every entry that reader would drop,
// cut or misread, with the line it stands on and why:
//  - a value that does not decode whole (a character that is not a hex
//    digit, a blank inside a byte, an odd digit) or has the wrong length;
//  - an exponent other than 3 or 65537, or followed by other characters;
//  - a key whose tagged lines are out of order or missing, so that the
//    window would run two keys together, or that the file's end cuts off;
//  - a line that looks like one of the five tags but does not match it
//    byte for byte (a leading blank, lower case, a missing quote);
//  - a line too long for the window's line buffer.
// A key with no problem is listed; one with a problem is not.
//
// Plain C++ over the core's record: the `tarvello` form of capk/key_list,
// and held by a fuzzer against the window's reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/capk.h"

struct CapkListProblem {
    int64_t line;        // 1-based line of the file
    std::string label;   // the key's label ("A000000003_09") when known, else empty
    std::string reason;  // one line, naming the field
};

struct StrictCapkList {
    std::vector<CapkRecord> keys;           // every key without a problem, in file order
    std::vector<int64_t> key_lines;         // the RID line of each key
    std::vector<bool> key_checksums;        // beside keys: whether the list stored a checksum
    std::vector<CapkListProblem> problems;  // in line order
    // 0, or the errno of a failure to open or read the file; what was read
    // before a read failure is kept, but the list is then incomplete.
    int error = 0;
};

StrictCapkList read_strict_capk_list(const std::string& path);

// The same over a file's whole text already read (lines end at LF).
StrictCapkList read_strict_capk_text(const std::string& text);
