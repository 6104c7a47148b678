// One CA public key as a list in any form holds it: the fields every form
// shares, and those only some forms carry (expiry, algorithm indicators, a
// name). Unlike the window's fixed record, nothing here is limited: a
// modulus over 248 bytes or an exponent of 2 is kept, so that a verifier can
// name it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ListedKey {
    uint8_t rid[5] = {};
    uint8_t index = 0;
    std::vector<uint8_t> modulus;   // most significant byte first
    std::vector<uint8_t> exponent;  // shortest big-endian form: 03, 01 00 01
    bool has_checksum = false;      // the form stored one
    uint8_t checksum[20] = {};
    int32_t expiry = 0;          // YYYYMMDD, 0 when the list gives none
    uint8_t hash_algorithm = 1;  // 01 (SHA-1) when the form has no field for it
    uint8_t pk_algorithm = 1;    // 01 (RSA) likewise
    bool has_name = false;
    std::string name;  // the form's label for the key
    int64_t line = 0;  // 1-based line of the key (json: its place in keys)
};

// "A000000003_09": RID and index in upper-case hex.
std::string listed_key_label(const ListedKey& key);

// SHA-1 of RID | index | modulus | exponent (shortest form): the value a list
// stores as the key's checksum.
std::vector<uint8_t> listed_key_checksum(const ListedKey& key);

// Whether the stored checksum equals the computed one (false without one).
bool listed_key_checksum_matches(const ListedKey& key);

// bytes without their leading zero bytes; a value of zero keeps one byte.
std::vector<uint8_t> shortest_exponent(const std::vector<uint8_t>& bytes);

// The exponent as a number when it has at most 4 bytes, else -1.
int64_t exponent_value(const std::vector<uint8_t>& exponent);

// Same RID, index, modulus and exponent.
bool same_key(const ListedKey& a, const ListedKey& b);

// A date YYMMDD (two-digit years: 20YY below 50, else 19YY) or YYYYMMDD as
// YYYYMMDD; -1 when text is not such a date (digits, month 1-12, day 1-31).
int32_t parse_list_date(const std::string& text);

// YYYYMMDD as YYMMDD; empty when the year is outside 1950..2049, which a
// two-digit year cannot name.
std::string short_date(int32_t yyyymmdd);

// YYYYMMDD as it is written where a date is shown: YYMMDD, or all eight
// digits for a year a two-digit year cannot name.
std::string shown_date(int32_t yyyymmdd);

// Upper-case hex of bytes, nothing between them.
std::string hex_upper(const uint8_t* bytes, size_t n);
inline std::string hex_upper(const std::vector<uint8_t>& bytes)
{
    return hex_upper(bytes.data(), bytes.size());
}
