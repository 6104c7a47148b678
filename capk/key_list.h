// CA key lists in the forms the field keeps them, read strictly and whole:
// every key returned or every entry that could not be read named with its
// line and why, nothing dropped silently, no limit on the number of keys.
//
//   tarvello  this program's tagged lines (capk/strict_capk_list)
//   pm3       one key a line: RID INDEX EXPIRY rsa EXPONENT MODULUS sha1 CHECKSUM
//   tsv       tab-separated: NAME EXPONENT INDEX RID MODULUS [BITS [SHA1]]
//   tlv       one key a line as hex text of BER-TLV objects (9F06, 9F22, DF02..DF07)
//   json      what `list --json` prints
//
// In pm3, tsv and tlv a blank line, or one starting with '#', is no entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capk/listed_key.h"
#include "capk/strict_capk_list.h"

enum class CapkFormat { kTarvello, kPm3, kTsv, kTlv, kJson };

constexpr CapkFormat kCapkFormats[] = {CapkFormat::kTarvello, CapkFormat::kPm3, CapkFormat::kTsv,
                                       CapkFormat::kTlv, CapkFormat::kJson};

const char* capk_format_name(CapkFormat format);
// false when name is none of the five names.
bool capk_format_from_name(const std::string& name, CapkFormat& format);

// The form of a list's text, told from its content: '{' first is json; a
// tagged RID line is tarvello; else the first entry line decides (a tab:
// tsv; hex text starting with a TLV tag: tlv; eight fields with "rsa"
// fourth: pm3). Text without a single run of ten hex digits holds no key in
// any form and reads as the tarvello form's free text. false when the form
// cannot be told.
bool detect_capk_format(const std::string& text, CapkFormat& format);

// What a reader says beside the keys that is not a problem: a note with
// its line and a fixed identifier (unknown_tag).
struct KeyListNote {
    int64_t line;
    std::string key;  // the key's label, empty when unknown
    std::string finding;
    std::string detail;
};

struct KeyList {
    CapkFormat format = CapkFormat::kTarvello;
    std::vector<ListedKey> keys;            // every key read whole, in list order
    std::vector<CapkListProblem> problems;  // damaged entries, in line order
    std::vector<KeyListNote> notes;
};

// Reads text as a list in format.
KeyList read_key_list(const std::string& text, CapkFormat format);

// The per-form readers (read_key_list calls them).
KeyList read_pm3_list(const std::string& text);
KeyList read_tsv_list(const std::string& text);
KeyList read_tlv_list(const std::string& text);
KeyList read_json_list(const std::string& text);

// What detect_capk_format expected, for an error message.
const char* capk_formats_expected();
