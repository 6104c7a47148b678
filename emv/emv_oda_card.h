// A card as one transaction's exchanges show it: what a terminal learns from
// SELECT, GET PROCESSING OPTIONS, READ RECORD, INTERNAL AUTHENTICATE and
// GENERATE AC, collected from the command and response bytes of a log.
//
// An extended GET PROCESSING OPTIONS (80 E0) is a GET PROCESSING OPTIONS in
// every respect; its PDOL data are the value of its 83 object alone.
//
// The transaction: the first GET PROCESSING OPTIONS answered 9000 (or whose
// answer could not be read, so its error is reported), and the last SELECT
// by name (00 A4 04) answered 9000 before it; READ RECORD,
// INTERNAL AUTHENTICATE and GENERATE AC count only after that SELECT and
// before the next SELECT by name (directory records read before the
// application is selected, and a second transaction later in the same log,
// stand apart). Without such a SELECT the transaction starts with the log.
//
// Data objects come only from what a terminal reads: the SELECT answer, the
// GET PROCESSING OPTIONS answer, the records the AFL lists, and the
// INTERNAL AUTHENTICATE and GENERATE AC answers. A record the AFL does not
// list is kept to be shown (in_afl false) and its objects are not used.
//
// T=0: a response 61XX followed by GET RESPONSE (00 C0) takes the GET
// RESPONSE's answer (a 6CXX to that GET RESPONSE: the one re-sent with
// Le = XX); a 6CXX answer is passed over, so the command repeated with
// Le = XX counts. An exchange without a response is ignored.
//
// Nothing is copied: every EmvBytes of the card points into the exchanges'
// bytes, which MUST outlive the card. No allocation.
#pragma once

#include <cstdint>

#include "emv/emv.h"
#include "emv/emv_tlv.h"

constexpr int kEmvOdaMaxRecords = 64;
constexpr int kEmvOdaMaxAflEntries = 64;
constexpr int kEmvOdaMaxObjects = 256;
constexpr int kEmvOdaMaxErrors = 16;

// One command APDU and its response (data then SW1 SW2), as in the log.
// response not given ({null, -1}): the command was not answered. line: where
// the exchange stands in the log (its command line), for error reports.
struct EmvExchange {
    EmvBytes command;
    EmvBytes response;
    int32_t line;
};

// One AFL entry: SFI, first and last record, and how many records from the
// first take part in offline data authentication.
struct EmvAflEntry {
    uint8_t sfi;
    uint8_t first;
    uint8_t last;
    uint8_t oda_records;
};

// A record as read (the response data, SW left out): the first 9000 answer
// to READ RECORD of that SFI and number. Its objects are those of the 70
// template it starts with (bytes after the template are kept, not read), or
// of the whole record when it is not one; a record of SFI 1-10 that gives
// no well-formed BER-TLV either way is an error (EMV_ODA_ERROR_NOT_TLV). A
// record of SFI 11-30 is kept whatever it holds.
struct EmvOdaRecord {
    uint8_t sfi;
    uint8_t number;
    bool oda;     // the AFL marks it for offline data authentication
    bool in_afl;  // the AFL lists it: its objects are used
    EmvBytes data;
    int32_t line;
    // The last 9000 answer of a later READ RECORD of it in the transaction
    // (not given when read once): not used by ODA, kept for its diagnosis.
    EmvBytes later;
};

// A primitive data object found in the FCI, a record or a response (the
// first of each tag, in the order of the log).
struct EmvDataObject {
    uint32_t tag;
    EmvBytes value;
    int32_t line;
};

// Which answer a data object came in.
enum EmvObjectSource : uint8_t {
    EMV_SOURCE_NONE = 0,
    EMV_SOURCE_SELECT = 1,
    EMV_SOURCE_GPO = 2,
    EMV_SOURCE_RECORD = 3,  // sfi, record say which
    EMV_SOURCE_INTERNAL_AUTH = 4,
    EMV_SOURCE_GENERATE_AC = 5,
};

struct EmvObjectPlace {
    EmvObjectSource source;
    uint8_t sfi;
    uint8_t record;
    int32_t line;
};

// The data objects ODA uses (5A 82 94 8F 90 92 9F32 93 9F46 9F47 9F48 9F49
// 9F4A 8C 8D): a card may return each once among the GET PROCESSING OPTIONS
// answer and the AFL's records.
constexpr int kEmvOdaUsedTags = 15;
extern const uint32_t kEmvOdaUsedTagList[kEmvOdaUsedTags];

// The first such object returned twice (tag 0: none), and both places.
struct EmvRedundantObject {
    uint32_t tag;
    EmvObjectPlace first;
    EmvObjectPlace second;
};

// Where the transaction date (9A) was found.
enum EmvDateSource : uint8_t {
    EMV_DATE_NONE = 0,   // neither CDOL1 nor PDOL data carries one
    EMV_DATE_CDOL1 = 1,  // the GENERATE AC command data, placed by CDOL1 (8C)
    EMV_DATE_PDOL = 2,   // the GET PROCESSING OPTIONS data, placed by PDOL (9F38)
};

// Why an exchange of the transaction could not be used. The card is then
// incomplete: a caller reports it (with the line) as an input error.
enum EmvOdaErrorKind : uint8_t {
    EMV_ODA_ERROR_SHORT_RESPONSE = 1,  // a response of fewer than 2 bytes (no SW1 SW2)
    EMV_ODA_ERROR_BAD_COMMAND = 2,     // command Lc disagrees with its length, or GPO data not 83
    EMV_ODA_ERROR_NOT_TLV = 3,         // response data that must be BER-TLV is not (tlv says how)
    EMV_ODA_ERROR_BAD_RESPONSE = 4,    // well-formed, but not the template the command answers with
    EMV_ODA_ERROR_CHAINED = 5,         // GET RESPONSE answered 61XX again (not supported)
    EMV_ODA_ERROR_TOO_MANY_RECORDS = 6,
    EMV_ODA_ERROR_TOO_MANY_OBJECTS = 7,
    EMV_ODA_ERROR_TOO_MANY_AFL = 8,
};

struct EmvOdaError {
    EmvOdaErrorKind kind;
    int32_t line;     // the exchange's line
    EmvTlvError tlv;  // EMV_ODA_ERROR_NOT_TLV: what and where in the response data
};

// A GENERATE AC and its answer.
struct EmvGenerateAc {
    int32_t line;  // 0: none
    uint8_t format;
    bool cda_requested;          // P1 bit 0x10
    EmvBytes data;               // the command data (CDOL1 or CDOL2 data)
    EmvBytes response_template;  // format 2: value of 77 (its objects, as returned)
    EmvBytes sdad;               // 9F4B of 77; not given when absent
    EmvBytes cid;  // 9F27 of 77 (format 1: the first byte of 80); not given when absent
    bool template_whole;
};

struct EmvOdaCard {
    // SELECT by name: the AID (84 of the FCI, else the command's data).
    int32_t select_line;  // 0: no SELECT
    EmvBytes aid;         // not given without a SELECT
    EmvBytes rid;         // the AID's first 5 bytes; not given when it is shorter

    // GET PROCESSING OPTIONS.
    int32_t gpo_line;    // 0: none answered 9000
    uint8_t gpo_format;  // 1 (tag 80) or 2 (template 77); 0 without GPO
    EmvBytes pdol_data;  // value of 83 in the command data
    EmvBytes gpo_data;   // the command data as sent (83 template)
    bool has_aip;
    uint8_t aip[2];
    EmvBytes afl;           // as returned
    EmvBytes gpo_template;  // format 2: the value of 77 (its objects); not given otherwise
    EmvAflEntry afl_entries[kEmvOdaMaxAflEntries];
    int32_t afl_count;
    bool afl_well_formed;  // a multiple of 4 bytes; each entry SFI 1-30, 1 <= first <= last,
                           // oda_records <= last - first + 1

    EmvOdaRecord records[kEmvOdaMaxRecords];  // in the order read
    int32_t record_count;
    // Records the AFL does not list, read past the room above: counted only.
    int32_t records_not_kept;

    EmvDataObject objects[kEmvOdaMaxObjects];
    int32_t object_count;
    EmvBytes ca_index;  // 8F, not given when absent
    EmvBytes pan;       // 5A, not given when absent

    // Where each object of kEmvOdaUsedTagList was first returned in the
    // GET PROCESSING OPTIONS answer or an AFL record (source NONE: not yet).
    EmvObjectPlace used_places[kEmvOdaUsedTags];
    EmvRedundantObject redundant;

    // A format 2 answer must be one 77 template (00 padding around it), with
    // at most one 9F4B inside; format 1 answers are always whole.
    bool gpo_template_whole;

    // INTERNAL AUTHENTICATE (the first answered 9000).
    int32_t ia_line;    // 0: none
    uint8_t ia_format;  // 1 (tag 80) or 2 (template 77)
    EmvBytes ddol_data;
    EmvBytes ia_sdad;  // 80's value, or 9F4B of 77; not given when absent
    bool ia_template_whole;

    // GENERATE AC (the first answered 9000).
    int32_t genac_line;  // 0: none
    uint8_t genac_format;
    bool cda_requested;  // P1 bit 0x10
    EmvBytes cdol1_data;
    EmvBytes genac_template;  // format 2: value of 77 (its objects, as returned)
    EmvBytes genac_sdad;      // 9F4B of 77; not given when absent
    EmvBytes genac_cid;       // 9F27 of 77 (format 1: the first byte of 80); not given when absent
    bool genac_template_whole;

    // The second GENERATE AC (the next answered 9000), its data placed by
    // CDOL2 (8D).
    EmvGenerateAc genac2;

    // The transaction date 9A (YYMMDD, BCD) from the CDOL1 data, else the
    // PDOL data.
    uint8_t transaction_date[3];
    EmvDateSource date_source;

    // Exchanges of the transaction that could not be used; error_count
    // counts all of them, the first kEmvOdaMaxErrors are kept.
    EmvOdaError errors[kEmvOdaMaxErrors];
    int32_t error_count;
};

// Collects the card from the exchanges (count of them). Returns true when
// every exchange of the transaction could be used (error_count == 0).
bool emv_oda_collect(const EmvExchange* exchanges, int32_t count, EmvOdaCard* card);

// The first data object with the tag, not given ({null, -1}) when absent.
EmvBytes emv_oda_object(const EmvOdaCard* card, uint32_t tag);

// The transaction date as a calendar date (YY 00-49 is 20YY, 50-99 19YY):
// false when the card carries none or it is not a valid date.
bool emv_oda_transaction_date(const EmvOdaCard* card, EmvDate* out);

// Where the transaction date was found: "cdol1", "pdol"; null for none.
const char* emv_date_source_name(EmvDateSource source);

// A short English description of the error kind ("response is not BER-TLV").
const char* emv_oda_error_text(EmvOdaErrorKind kind);
