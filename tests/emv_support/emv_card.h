// Test support: a whole card and one transaction with it, as a terminal's
// log shows it (command and response bytes), made from keys of the chain
// builder: records in SFI 1-10 and 11-30, an AFL where only some records
// take part in offline data authentication, GET PROCESSING OPTIONS and
// INTERNAL AUTHENTICATE in either format, GENERATE AC with or without CDA,
// and T=0's 61XX / GET RESPONSE and 6CXX / repeat.
//
// The log holds, in order: a SELECT of the payment system directory and a
// directory record (SFI 1 record 1, other content), the application's
// SELECT, an unanswered command, GET PROCESSING OPTIONS, the AFL's records,
// INTERNAL AUTHENTICATE (DDA), GENERATE AC (not for fDDA, a contactless card
// that signs in its GET PROCESSING OPTIONS answer or SFI 1 record 2, with
// 9F69 in SFI 1 record 2), then a second transaction (SELECT,
// GET PROCESSING OPTIONS, SFI 1 record 1 again with other content): what
// stands outside the first transaction must not count.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/emv_support/emv_chain.h"

namespace emv_card {

using emv_chain::Bytes;

enum class Method { Sda, Dda, Cda, Fdda };

// The records as the card returns them, for a spec that signs other static
// data than a terminal reads.
struct CardRecords {
    Bytes sfi1_rec1;        // ODA: a terminal hashes what follows the 70 tag and length
    Bytes sfi1_rec2;        // not ODA
    Bytes sfi2_rec1;        // not ODA: CA index, issuer certificate
    Bytes sfi2_rec2;        // not ODA: SSAD or ICC certificate
    Bytes sfi11_rec1;       // ODA: hashed whole
    Bytes sfi1_rec1_later;  // the answer of SFI 1 record 1 read again
    Bytes aip;
};

// Key certificate hashes made the wrong way on purpose (bits).
constexpr unsigned kIssuerWithoutRemainder = 1;
constexpr unsigned kIssuerOtherExponent = 2;
constexpr unsigned kIccWithoutRemainder = 4;
constexpr unsigned kIccOtherExponent = 8;

struct CardSpec {
    Method method = Method::Sda;
    int gpo_format = 2;     // 1: tag 80 = AIP | AFL; 2: template 77
    int ia_format = 2;      // 1: tag 80 = SDAD; 2: 77 with 9F4B
    bool tag_list = false;  // 9F4A = 82 in an ODA record: the AIP is signed too
    bool t0 = false;        // data returned through 61XX / GET RESPONSE, records after 6CXX
    bool with_ca_index = true;
    uint8_t ca_index = 0x92;
    uint8_t cid = 0x40;                    // 9F27 in the GENERATE AC response
    uint8_t signed_cid = 0x40;             // the CID inside CDA's signed dynamic data
    Bytes sfi11_record;                    // SFI 11 record 1 as read; empty: a 70 template
    const char* pan = "4761739001010119";  // 5A as hex (the certificates keep this one)
    const char* ddol = "9F3704";           // 9F49; empty: the card has none
    Bytes sfi1_trailer;                    // bytes after SFI 1 record 1's template, signed
    int ca_bits = 1152;
    Bytes spare_remainder;      // a 92 the issuer key does not need (it must fit: ca_bits >= 1312)
    bool second_ac = false;     // CDA: a second GENERATE AC with CDA, answered TC and signed
    bool afl_reversed = false;  // the AFL lists SFI 11 first, then SFI 1 and 2
    // Signed the wrong way on purpose (the diagnosis's tests); unset: right.
    std::function<Bytes(const CardRecords&)> signed_static;  // what SSAD / ICC cert. sign
    unsigned wrong_certs = 0;                                // kIssuer... / kIcc... bits
    int ddol_signed_length = -1;  // DDA: the SDAD signs only the DDOL data's first bytes
    Bytes cda_signed_number;      // CDA: the SDAD signs this instead of CDOL1's 9F37
    std::function<Bytes(const Bytes& pdol_data, const Bytes& cdol1_data, const Bytes& gpo_data)>
        cda_terminal_data;  // CDA: what the transaction data hash covers before the answer

    // fDDA cards.
    std::string aid = "A0000000031010";
    std::string pdol = "9F66049F02069F37045F2A029A03";  // a tag named twice: the first counts
    uint8_t fdda_format = 0x05;                         // of the signed data
    int gpo_cid = -1;                                   // 9F27 in the GPO answer; -1: none
    bool sdad_in_record = false;  // 9F4B in SFI 1 record 2 rather than the GPO answer
    size_t card_data_length = 5;  // of 9F69; 0: none
    uint8_t fdda_version = 0x01;  // 9F69 byte 1
    Bytes signed_dynamic_number = {0x00, 0x01};  // the ATC (9F36) is 0001
    Bytes ctq;                                   // 9F6C in the GPO answer; empty: none
    int fdda_signed_as = 0;  // signed the wrong way: 1 without 9F69, 2 9F37 alone, 3 9F69 first
};

// One exchange of the log; answered false: the command has no response.
struct Exchange {
    Bytes command;
    Bytes response;  // data | SW1 SW2
    bool answered = true;
};

struct Card {
    const emv_chain::TestKey* ca;
    const emv_chain::TestKey* issuer;
    const emv_chain::TestKey* icc;
    Bytes rid;  // A000000003
    Bytes aid;
    Bytes aip;
    Bytes afl;
    Bytes static_data;  // what the SSAD / ICC certificate cover
    Bytes pdol_data;
    Bytes cdol1_data;
    Bytes ddol_data;
    Bytes unpredictable_number;  // 9F37 as CDOL1 places it
    Bytes card_data;             // fDDA: 9F69
    std::vector<Exchange> log;
    // Where things stand in the log: "gpo", "ia", "genac", "record S N" (the
    // exchange whose response holds that record's data).
    std::map<std::string, size_t> at;
};

// Keys: CA 1152 bits (e 3), issuer 1024 bits (e 3, with a remainder), ICC
// 768 bits (e 65537, with a remainder). PAN 4761739001010119; both
// certificates expire 12/49; transaction date 26-12-09 in the CDOL1 data
// (26-12-08 in the PDOL data).
Card make_card(const CardSpec& spec);

// A spec in one expression, for tables of cards: the common fields, then
// with() for any other change.
CardSpec spec(Method m, int gpo_format = 2, int ia_format = 2, bool tag_list = false,
              bool t0 = false);
CardSpec with(CardSpec s, const std::function<void(CardSpec&)>& change);
// An fDDA card with the CardSpec defaults changed by change.
CardSpec fdda(const std::function<void(CardSpec&)>& change = [](CardSpec&) {});

// Changes the first occurrence of `from` in the response of the exchange
// the builder names to `to` (same length); a test failure when it is absent.
void replace(Card& c, const std::string& where, const std::string& from, const std::string& to);

// Adds `entries` AFL entries (SFI 3 on), each of `records` records none of
// which takes part in ODA, and reads them right after the GET PROCESSING
// OPTIONS (a format 2 answer, rebuilt): the card still passes, and a search
// over the entries' ODA record counts has (records + 1) ^ entries more
// combinations.
void add_spare_entries(Card& c, int entries, int records);

// BER-TLV encoding of one object (short, 81 or 82 length).
Bytes tlv(uint32_t tag, const Bytes& value);

// The log as a trace file: "> command", then "< response" when it was
// answered.
std::string trace_text(const Card& card);

// For tests that lay out a card of their own: a command APDU (the 4-byte
// header, Lc and data when there is data, Le 00) and a response (data | 90 00).
Bytes apdu(const Bytes& header, const Bytes& data);
Bytes answer(const Bytes& data);

}  // namespace emv_card
