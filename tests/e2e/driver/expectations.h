// Expected values of the command scenario, computed outside the program (by
// the native helper tarvello_e2e_expect from the same list file) and read here
// from a text file. Byte strings are compact uppercase hex, "-" for none.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// One key of the list file, in file order.
struct ExpectedKey {
    std::string label;            // key-list entry, RID digits "_" index digits
    std::string rid;              // 10 digits
    std::string index;            // 2 digits
    int exponent = 0;             // 3 or 65537
    int modulus_length = 0;       // bytes
    std::string stored_checksum;  // 40 digits, as in the file
    std::string modulus;
    std::string checksum_input;   // RID | index | modulus | exponent bytes
    std::string checksum_digest;  // SHA-1 of checksum_input
    std::string block_in;         // a block to decrypt with this key
    std::string block_out;        // block_in ^ exponent mod modulus
};

// A key typed by hand and a block decrypted with it.
struct ExpectedTyped {
    std::string name;
    int exponent = 0;
    std::string modulus;
    std::string block_in;
    std::string block_out;
};

// Data typed into the hash box and its digest.
struct ExpectedHash {
    std::string name;
    std::string data;
    std::string digest;
};

struct Expectations {
    std::vector<ExpectedKey> keys;
    std::vector<ExpectedTyped> typed;
    std::vector<ExpectedHash> hashes;
};

// Reads the file; fails the run on a missing file or a malformed line.
Expectations ReadExpectations(const std::string& path);

}  // namespace e2e
