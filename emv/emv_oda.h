// Offline data authentication of a collected card (emv_oda_card.h), as a
// terminal makes it: the method chosen from the AIP and the GENERATE AC, the
// static data to be authenticated from the records the AFL marks, then the
// steps of the method, each with every check of the recovery it uses, and
// the ODA bits of the TVR a terminal would set.
//
// Steps, in order; the first that fails stops the others:
//   ca_key       the CA key the caller looked up (RID + 8F): none, unusable, or too
//                short for the issuer certificate's layout
//   issuer       issuer certificate (90, 92, 9F32) with the CA key; PAN (5A), expiry
//   static_data  the card's answers do not hold what a terminal reads (no AFL, a
//                malformed AFL or GET PROCESSING OPTIONS answer, a data object
//                returned twice: checked before every other step), or the static
//                data to be authenticated could not be built
//   ssad         SDA: signed static data (93) with the issuer key over the static data
//   icc          DDA, CDA: ICC certificate (9F46, 9F48, 9F47) with the issuer key over
//                the static data; PAN, expiry
//   sdad         DDA: SDAD of INTERNAL AUTHENTICATE with the ICC key over the DDOL data,
//                the answer one 77 template, the card's DDOL (9F49) holding 9F37 and
//                as long as the data sent;
//                CDA: 9F4B of GENERATE AC with the ICC key over the unpredictable number
//   cda          CDA: the answer one 77 template, the ICC dynamic data's layout, its
//                CID against 9F27 and its transaction data hash code; the same for a
//                second GENERATE AC that requested CDA and got a TC with 9F4B
// fDDA (contactless: the card signs in its GET PROCESSING OPTIONS answer or
// a record) runs ca_key, issuer, static_data, icc, then sdad: 9F4B with the
// ICC key over the PDOL's 9F37 | 9F02 | 5F2A and 9F69, with its own checks
// (EmvFddaResult). It sets no TVR bit; the reader's action on failure comes
// from the CTQ (9F6C) instead.
// A step passes only when every check it makes was made and passed. A data
// object or record the method needs and the card lacks is named in missing,
// sets ICC data missing and fails the step that needs it.
#pragma once

#include <cstdint>

#include "emv/emv.h"
#include "emv/emv_oda_card.h"

constexpr int kEmvOdaMaxMissing = 32;
// Every record of kEmvOdaMaxRecords at its longest, and the AIP.
constexpr int kEmvOdaMaxStaticData = kEmvOdaMaxRecords * 258 + 2;
constexpr int kEmvOdaMaxUnpredictable = 8;

enum EmvOdaMethod : uint8_t {
    EMV_ODA_METHOD_NONE = 0,  // not performed; as an option: choose from the AIP
    EMV_ODA_SDA = 1,
    EMV_ODA_DDA = 2,
    EMV_ODA_CDA = 3,
    EMV_ODA_FDDA = 4,
};

enum EmvOdaOutcome : uint8_t {
    EMV_ODA_NOT_PERFORMED = 0,
    EMV_ODA_PASSED = 1,
    EMV_ODA_FAILED = 2,
};

enum EmvOdaStep : uint8_t {
    EMV_ODA_STEP_NONE = 0,
    EMV_ODA_STEP_CA_KEY = 1,
    EMV_ODA_STEP_ISSUER = 2,
    EMV_ODA_STEP_STATIC_DATA = 3,
    EMV_ODA_STEP_SSAD = 4,
    EMV_ODA_STEP_ICC = 5,
    EMV_ODA_STEP_SDAD = 6,
    EMV_ODA_STEP_CDA = 7,
};

// TVR byte 1 bits a terminal sets in offline data authentication.
constexpr uint8_t EMV_TVR_ODA_NOT_PERFORMED = 0x80;
constexpr uint8_t EMV_TVR_SDA_FAILED = 0x40;
constexpr uint8_t EMV_TVR_ICC_DATA_MISSING = 0x20;
constexpr uint8_t EMV_TVR_DDA_FAILED = 0x08;
constexpr uint8_t EMV_TVR_CDA_FAILED = 0x04;
constexpr uint8_t EMV_TVR_SDA_SELECTED = 0x02;

// AIP byte 1 bits.
constexpr uint8_t EMV_AIP_SDA = 0x40;
constexpr uint8_t EMV_AIP_DDA = 0x20;
constexpr uint8_t EMV_AIP_CDA = 0x01;

// The CA public key the caller looked up for the card's RID and 8F.
struct EmvCaKey {
    EmvBytes modulus;
    EmvBytes exponent;
};

struct EmvOdaOptions {
    EmvDate date;        // the expiry checks are judged at it
    const char* pan;     // PAN digits to check against; null: the card's 5A
    EmvOdaMethod force;  // EMV_ODA_METHOD_NONE: chosen from the AIP
};

// A data object (tag != 0) or a record (tag == 0: sfi, record) the method
// needs and the card lacks.
struct EmvOdaMissing {
    uint32_t tag;
    uint8_t sfi;
    uint8_t record;
};

// Why the static data to be authenticated could not be built.
enum EmvStaticDataStatus : uint8_t {
    EMV_STATIC_DATA_OK = 0,
    EMV_STATIC_DATA_NO_AFL = 1,          // no AFL (no GET PROCESSING OPTIONS answer)
    EMV_STATIC_DATA_BAD_AFL = 2,         // the AFL is not well-formed
    EMV_STATIC_DATA_RECORD_MISSING = 3,  // a record the AFL marks was not read (in missing)
    EMV_STATIC_DATA_NOT_70 = 4,          // an ODA record does not start with a 70 template
                                         // that fits it
    EMV_STATIC_DATA_BAD_TAG_LIST = 5,    // 9F4A lists a tag other than 82, or is malformed
    EMV_STATIC_DATA_NO_AIP = 6,          // 9F4A lists 82 and the card has no AIP
    EMV_STATIC_DATA_TOO_LONG = 7,        // more than kEmvOdaMaxStaticData bytes
    EMV_STATIC_DATA_REDUNDANT = 8,       // a data object ODA uses returned twice (the card's
                                         // redundant)
    EMV_STATIC_DATA_GPO_TEMPLATE = 9,    // the GET PROCESSING OPTIONS answer is not one 77
                                         // template
};

// CDA: the ICC dynamic data of the GENERATE AC's SDAD, laid out as ICC
// dynamic number length (1) | ICC dynamic number (2-8) | CID (1) |
// application cryptogram (8) | transaction data hash code (20).
struct EmvCdaResult {
    uint8_t icc_dynamic_number[8];
    int32_t icc_dynamic_number_length;  // 0 when the layout does not hold
    uint8_t cid;
    uint8_t application_cryptogram[8];
    uint8_t transaction_data_hash[kSha1DigestSize];         // as recovered
    uint8_t computed_hash[kSha1DigestSize];                 // SHA-1 of PDOL data | CDOL1 data |
                                                            // the 77 objects but 9F4B, as returned
    uint8_t unpredictable_number[kEmvOdaMaxUnpredictable];  // 9F37 as CDOL1 places it
    int32_t unpredictable_number_length;                    // -1 when CDOL1 places none
    EmvCheckResult response_template;                       // the answer is one 77 template
    EmvCheckResult layout;                                  // the ICC dynamic data holds the layout
    EmvCheckResult cid_check;                               // its CID == 9F27 of the response
    EmvCheckResult transaction_data_hash_check;             // recovered == computed
};

// DDA's own checks of the INTERNAL AUTHENTICATE exchange; the two DDOL
// checks are not made without the card's DDOL (the terminal's default one
// applies, which the trace does not show).
struct EmvDdaChecks {
    EmvCheckResult response_template;          // the answer is one 77 template (format 1: passed)
    EmvCheckResult ddol_unpredictable_number;  // 9F49 names 9F37
    EmvCheckResult ddol_data_length;           // the command data is as long as 9F49 says
};

// fDDA: what the reader does when it fails, from the CTQ (9F6C) byte 1.
enum EmvFddaAction : uint8_t {
    EMV_FDDA_ACTION_NONE = 0,    // fDDA passed, or the card returns no CTQ (the reader declines)
    EMV_FDDA_ACTION_ONLINE = 1,  // 0x20: go online if ODA fails
    EMV_FDDA_ACTION_OTHER_INTERFACE = 2,  // 0x10: try another interface
    EMV_FDDA_ACTION_DECLINE = 3,
};

// fDDA's data and checks. The byte strings point into the card's exchanges
// (not given when the trace lacks them): the terminal data as the PDOL
// places it in the GET PROCESSING OPTIONS data, the card authentication
// related data (9F69) and the CTQ (9F6C) as the card returned them.
struct EmvFddaResult {
    EmvBytes sdad;                  // 9F4B of the GPO answer, else of the first record with one
    EmvBytes unpredictable_number;  // 9F37
    EmvBytes amount;                // 9F02
    EmvBytes currency;              // 5F2A
    EmvBytes card_data;             // 9F69
    EmvBytes ctq;                   // 9F6C
    EmvBytes cid;                   // 9F27 of the GPO answer
    EmvBytes atc;                   // 9F36
    bool format_read;               // format holds the SDAD's format byte
    uint8_t format;
    EmvCheckResult hash;                // the SDAD's hash (as sdad's)
    EmvCheckResult format_check;        // 95 for an ARQC, 05 for a TC, either otherwise
    EmvCheckResult version;             // 9F69 byte 1 is 01
    EmvCheckResult card_data_length;    // 9F69: 5 bytes or more (UnionPay: 8 to 16)
    EmvCheckResult dynamic_number_atc;  // ICC dynamic number == 9F36 (not made without 9F36)
    EmvFddaAction failure_action;
};

struct EmvOdaResult {
    EmvOdaMethod method;  // the method made (EMV_ODA_METHOD_NONE: not performed)
    EmvOdaOutcome outcome;
    EmvOdaStep failed_step;  // EMV_ODA_STEP_NONE unless outcome is EMV_ODA_FAILED
    uint8_t tvr[5];          // only the ODA bits of byte 1

    // Needed by the method and lacking; missing_count counts all of them,
    // the first kEmvOdaMaxMissing are kept.
    EmvOdaMissing missing[kEmvOdaMaxMissing];
    int32_t missing_count;

    // Built whatever the method, from the AFL's ODA records in AFL order,
    // then the values 9F4A lists; static_data_length is 0 unless status OK.
    EmvStaticDataStatus static_data_status;
    uint8_t static_data_sfi;  // EMV_STATIC_DATA_NOT_70 / RECORD_MISSING: the first such record
    uint8_t static_data_record;
    uint8_t static_data[kEmvOdaMaxStaticData];
    int32_t static_data_length;

    // The steps made (made false: not reached, or its data lacking), each
    // with the status and record of its recovery.
    bool issuer_made;
    EmvRecoverStatus issuer_status;
    EmvIssuerCert issuer;
    bool ssad_made;
    EmvRecoverStatus ssad_status;
    EmvSsad ssad;
    bool icc_made;
    EmvRecoverStatus icc_status;
    EmvIccCert icc;
    bool sdad_made;
    EmvRecoverStatus sdad_status;
    EmvSdad sdad;
    EmvDdaChecks sdad_checks;  // DDA only
    bool cda_made;
    EmvCdaResult cda;
    // CDA: the second GENERATE AC's, when it requested CDA and got a TC
    // with 9F4B (its unpredictable number placed by CDOL2).
    bool sdad_second_made;
    EmvRecoverStatus sdad_second_status;
    EmvSdad sdad_second;
    bool cda_second_made;
    EmvCdaResult cda_second;
    EmvFddaResult fdda;  // filled when the method is fDDA
};

// The method a terminal supporting all four would choose: CDA when the AIP
// supports it and the GENERATE AC requested it; fDDA when the AIP supports
// DDA, no INTERNAL AUTHENTICATE was answered, no GENERATE AC requested CDA
// and the card returned 9F4B in its GET PROCESSING OPTIONS answer or a
// record; otherwise DDA, otherwise SDA when supported, otherwise
// EMV_ODA_METHOD_NONE.
EmvOdaMethod emv_oda_choose_method(const EmvOdaCard* card);

// Builds the static data to be authenticated into result (static_data_*
// fields; missing is reset to the records the AFL marks and the card lacks).
// emv_oda_authenticate calls it; it is here for callers that want only it.
void emv_oda_static_data(const EmvOdaCard* card, EmvOdaResult* result);

// Authenticates the card. ca_key: the CA key for the card's RID and 8F, null
// when the caller's list has none (fails at ca_key). options may be null
// (today, the card's PAN, the method from the AIP). result is filled
// completely.
void emv_oda_authenticate(const EmvOdaCard* card, const EmvCaKey* ca_key,
                          const EmvOdaOptions* options, EmvOdaResult* result);

// "SDA", "DDA", "CDA", "fDDA"; null for EMV_ODA_METHOD_NONE.
const char* emv_oda_method_name(EmvOdaMethod method);
// "online", "try another interface", "decline"; null for EMV_FDDA_ACTION_NONE.
const char* emv_fdda_action_name(EmvFddaAction action);
// "passed", "failed", "not performed".
const char* emv_oda_outcome_name(EmvOdaOutcome outcome);
// "ca_key", "issuer", "static_data", "ssad", "icc", "sdad", "cda"; null for none.
const char* emv_oda_step_name(EmvOdaStep step);
// "9F46" or "SFI 2 record 3" into out (capacity bytes, NUL included; 16 is enough).
void emv_oda_missing_text(const EmvOdaMissing* missing, char* out, int32_t capacity);
// A short English description of the static data status ("record not a 70 template").
const char* emv_static_data_text(EmvStaticDataStatus status);
