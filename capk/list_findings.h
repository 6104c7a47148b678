// What is wrong with a key list beyond what its reader finds: the faults
// real lists carry that a checksum alone does not catch, each named with
// the key's line and a fixed identifier.
//
//   failures      checksum_mismatch conflict same_index_modulus modulus_too_long
//                 modulus_even exponent_not_allowed expired
//                 differs_from_reference reference_key_elsewhere
//   undetermined  checksum_absent
//   notes         repeated shared_modulus not_in_reference expiry_unknown
//                 unknown_tag verified_by_reference
//
// A finding about two keys is given on each of them, its detail naming the
// other's line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capk/key_list.h"

enum class FindingKind { kFailure, kUndetermined, kNote };

struct ListFinding {
    int64_t line;
    std::string key;  // the key's label
    bool has_name = false;
    std::string name;  // the form's name for the key
    std::string finding;
    std::string detail;
};

FindingKind finding_kind(const std::string& finding);

// Every finding on list's keys, in line order (the reader's notes
// included). today is the date expiries are judged at (YYYYMMDD);
// reference, when not null, is a list the user trusts.
std::vector<ListFinding> find_list_faults(const KeyList& list, const KeyList* reference,
                                          int32_t today);
