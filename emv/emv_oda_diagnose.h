// Why an ODA check failed: the diagnosis of a failed step. A recovered hash
// is the SHA-1 of exactly what the signer signed, so the signed data is
// rebuilt the ways it is known to go wrong in personalisation and terminals
// (each a variant), and every variant whose hash equals the recovered one is
// a match. An issuer certificate that does not open is tried with the other
// keys of the caller's CA key list.
//
// The diagnosis never changes the verdict: it reads the card and the result
// of emv_oda_authenticate and writes only its own record. It is made when
// ODA failed at
//   issuer, icc, ssad   the block opened (header, trailer, format) and its hash
//                       check failed (check "hash");
//   sdad                DDA, CDA or fDDA, the same (check "hash");
//   cda                 the first GENERATE AC's transaction data hash code
//                       failed (check "transaction_data_hash");
//   ca_key, issuer      the issuer certificate could not be opened with the
//                       list's key, or the list has none (check "recovery").
// A variant whose data equals the card's own reading is not tried. No
// allocation; the work is bounded (kEmvDiagnosisMaxCombinations hashes per
// search over the AFL's ODA record counts, one RSA operation per key).
#pragma once

#include <cstdint>

#include "emv/emv_oda.h"

constexpr int kEmvDiagnosisMaxMatches = 8;
constexpr int32_t kEmvDiagnosisMaxCombinations = 4096;

// Variants, as bits of a match's set. Static data (ssad, icc):
constexpr uint32_t EMV_VARIANT_RECORDS_WITH_TEMPLATE = 1u << 0;
constexpr uint32_t EMV_VARIANT_RECORDS_WITHOUT_TEMPLATE = 1u << 1;
constexpr uint32_t EMV_VARIANT_WITHOUT_TAG_LIST = 1u << 2;
constexpr uint32_t EMV_VARIANT_WITH_AIP = 1u << 3;
constexpr uint32_t EMV_VARIANT_ODA_COUNTS = 1u << 4;
constexpr uint32_t EMV_VARIANT_LATER_ANSWER = 1u << 5;
constexpr uint32_t EMV_VARIANT_AFL_SORTED = 1u << 6;
// DDA's SDAD:
constexpr uint32_t EMV_VARIANT_DDOL_ELEMENTS = 1u << 7;
// CDA's SDAD:
constexpr uint32_t EMV_VARIANT_UNPREDICTABLE_NUMBER_FROM_PDOL = 1u << 8;
constexpr uint32_t EMV_VARIANT_CDOL1_DATA = 1u << 9;
// CDA's transaction data hash code:
constexpr uint32_t EMV_VARIANT_WITHOUT_PDOL_DATA = 1u << 10;
constexpr uint32_t EMV_VARIANT_WITH_PDOL_TEMPLATE = 1u << 11;
constexpr uint32_t EMV_VARIANT_WITHOUT_CDOL1_DATA = 1u << 12;
// Key certificates (issuer, icc):
constexpr uint32_t EMV_VARIANT_WITHOUT_REMAINDER = 1u << 13;
constexpr uint32_t EMV_VARIANT_OTHER_EXPONENT = 1u << 14;
// An issuer certificate that does not open:
constexpr uint32_t EMV_VARIANT_OTHER_CA_KEY = 1u << 15;
// fDDA's SDAD:
constexpr uint32_t EMV_VARIANT_WITHOUT_CARD_DATA = 1u << 16;
constexpr uint32_t EMV_VARIANT_UNPREDICTABLE_NUMBER_ONLY = 1u << 17;
constexpr uint32_t EMV_VARIANT_CARD_DATA_FIRST = 1u << 18;
constexpr int kEmvVariantBits = 19;

enum EmvDiagnosisCheck : uint8_t {
    EMV_DIAGNOSIS_NONE = 0,
    EMV_DIAGNOSIS_HASH = 1,
    EMV_DIAGNOSIS_TRANSACTION_DATA_HASH = 2,
    EMV_DIAGNOSIS_RECOVERY = 3,
};

// A variant (or combination) whose hash equals the recovered one.
struct EmvDiagnosisMatch {
    uint32_t variants;
    // EMV_VARIANT_ODA_COUNTS: the ODA record count of each AFL entry.
    bool has_counts;
    uint8_t oda_counts[kEmvOdaMaxAflEntries];
    // EMV_VARIANT_DDOL_ELEMENTS: the elements kept (-1 without 9F49) and the
    // bytes kept (-1 for other variants).
    int32_t elements;
    int32_t length;
    // EMV_VARIANT_OTHER_CA_KEY: the list's key that opens the certificate.
    bool has_key;
    uint8_t rid[5];
    uint8_t index;
};

struct EmvOdaDiagnosis {
    bool made;  // false: nothing to diagnose, or nothing to try
    EmvOdaStep step;
    EmvDiagnosisCheck check;
    int32_t tried;  // variants hashed (or keys tried)
    bool cut;       // a search over ODA record counts stopped at its limit
    EmvDiagnosisMatch matches[kEmvDiagnosisMaxMatches];
    int32_t match_count;  // all matches; the first kEmvDiagnosisMaxMatches are kept
};

// A key of the caller's CA key list.
struct EmvListedCaKey {
    uint8_t rid[5];
    uint8_t index;
    EmvCaKey key;
};

// Diagnoses the failed step of result (emv_oda_authenticate of card with
// ca_key). list: every key of the caller's list (list_count of them; may be
// null when 0). out is filled completely.
void emv_oda_diagnose(const EmvOdaCard* card, const EmvCaKey* ca_key, const EmvListedCaKey* list,
                      int32_t list_count, const EmvOdaResult* result, EmvOdaDiagnosis* out);

// The variant's identifier ("records_with_template"); null for a bit that
// is no variant.
const char* emv_variant_name(uint32_t variant);
// "hash", "transaction_data_hash", "recovery"; null for none.
const char* emv_diagnosis_check_name(EmvDiagnosisCheck check);
