// The bit-coded data elements, bit by bit, as EMV Book 3 (AIP, AUC, TVR,
// TSI, CID) and Book 4 (terminal capabilities, additional terminal
// capabilities) define them. A bit not listed is RFU.
#include "emv/emv_decode.h"
#include "emv/emv_qualifiers.h"

namespace {

struct TagBit {
    uint32_t tag;  // 0x95 also stands for the issuer action codes, coded as the TVR
    uint8_t byte;
    uint8_t bit;
    const char* meaning;
};

const TagBit kBits[] = {
    // 82 Application Interchange Profile
    {0x82, 1, 7, "SDA supported"},
    {0x82, 1, 6, "DDA supported"},
    {0x82, 1, 5, "Cardholder verification is supported"},
    {0x82, 1, 4, "Terminal risk management is to be performed"},
    {0x82, 1, 3, "Issuer authentication is supported"},
    {0x82, 1, 1, "CDA supported"},
    {0x82, 2, 8, "Reserved for use by the EMV contactless specifications"},
    // 95 Terminal Verification Results
    {0x95, 1, 8, "Offline data authentication was not performed"},
    {0x95, 1, 7, "SDA failed"},
    {0x95, 1, 6, "ICC data missing"},
    {0x95, 1, 5, "Card appears on terminal exception file"},
    {0x95, 1, 4, "DDA failed"},
    {0x95, 1, 3, "CDA failed"},
    {0x95, 1, 2, "SDA selected"},
    {0x95, 2, 8, "ICC and terminal have different application versions"},
    {0x95, 2, 7, "Expired application"},
    {0x95, 2, 6, "Application not yet effective"},
    {0x95, 2, 5, "Requested service not allowed for card product"},
    {0x95, 2, 4, "New card"},
    {0x95, 3, 8, "Cardholder verification was not successful"},
    {0x95, 3, 7, "Unrecognised CVM"},
    {0x95, 3, 6, "PIN Try Limit exceeded"},
    {0x95, 3, 5, "PIN entry required and PIN pad not present or not working"},
    {0x95, 3, 4, "PIN entry required, PIN pad present, but PIN was not entered"},
    {0x95, 3, 3, "Online PIN entered"},
    {0x95, 4, 8, "Transaction exceeds floor limit"},
    {0x95, 4, 7, "Lower consecutive offline limit exceeded"},
    {0x95, 4, 6, "Upper consecutive offline limit exceeded"},
    {0x95, 4, 5, "Transaction selected randomly for online processing"},
    {0x95, 4, 4, "Merchant forced transaction online"},
    {0x95, 5, 8, "Default TDOL used"},
    {0x95, 5, 7, "Issuer authentication failed"},
    {0x95, 5, 6, "Script processing failed before final GENERATE AC"},
    {0x95, 5, 5, "Script processing failed after final GENERATE AC"},
    // 9B Transaction Status Information
    {0x9B, 1, 8, "Offline data authentication was performed"},
    {0x9B, 1, 7, "Cardholder verification was performed"},
    {0x9B, 1, 6, "Card risk management was performed"},
    {0x9B, 1, 5, "Issuer authentication was performed"},
    {0x9B, 1, 4, "Terminal risk management was performed"},
    {0x9B, 1, 3, "Script processing was performed"},
    // 9F07 Application Usage Control
    {0x9F07, 1, 8, "Valid for domestic cash transactions"},
    {0x9F07, 1, 7, "Valid for international cash transactions"},
    {0x9F07, 1, 6, "Valid for domestic goods"},
    {0x9F07, 1, 5, "Valid for international goods"},
    {0x9F07, 1, 4, "Valid for domestic services"},
    {0x9F07, 1, 3, "Valid for international services"},
    {0x9F07, 1, 2, "Valid at ATMs"},
    {0x9F07, 1, 1, "Valid at terminals other than ATMs"},
    {0x9F07, 2, 8, "Domestic cashback allowed"},
    {0x9F07, 2, 7, "International cashback allowed"},
    // 9F27 Cryptogram Information Data
    {0x9F27, 1, 8, "Cryptogram type, bit 8 of bits 8-7 (00 AAC, 01 TC, 10 ARQC)"},
    {0x9F27, 1, 7, "Cryptogram type, bit 7 of bits 8-7 (00 AAC, 01 TC, 10 ARQC)"},
    {0x9F27, 1, 6, "Payment system-specific cryptogram"},
    {0x9F27, 1, 5, "Payment system-specific cryptogram"},
    {0x9F27, 1, 4, "Advice required"},
    {0x9F27, 1, 3,
     "Reason/advice code, bit 3 of bits 3-1 (001 service not allowed, 010 PIN "
     "Try Limit exceeded, 011 issuer authentication failed)"},
    {0x9F27, 1, 2,
     "Reason/advice code, bit 2 of bits 3-1 (001 service not allowed, 010 PIN "
     "Try Limit exceeded, 011 issuer authentication failed)"},
    {0x9F27, 1, 1,
     "Reason/advice code, bit 1 of bits 3-1 (001 service not allowed, 010 PIN "
     "Try Limit exceeded, 011 issuer authentication failed)"},
    // 9F33 Terminal Capabilities
    {0x9F33, 1, 8, "Card data input: manual key entry"},
    {0x9F33, 1, 7, "Card data input: magnetic stripe"},
    {0x9F33, 1, 6, "Card data input: IC with contacts"},
    {0x9F33, 2, 8, "CVM: plaintext PIN for ICC verification"},
    {0x9F33, 2, 7, "CVM: enciphered PIN for online verification"},
    {0x9F33, 2, 6, "CVM: signature (paper)"},
    {0x9F33, 2, 5, "CVM: enciphered PIN for offline verification"},
    {0x9F33, 2, 4, "CVM: no CVM required"},
    {0x9F33, 3, 8, "Security: SDA"},
    {0x9F33, 3, 7, "Security: DDA"},
    {0x9F33, 3, 6, "Security: card capture"},
    {0x9F33, 3, 4, "Security: CDA"},
    // 9F40 Additional Terminal Capabilities
    {0x9F40, 1, 8, "Transaction type: cash"},
    {0x9F40, 1, 7, "Transaction type: goods"},
    {0x9F40, 1, 6, "Transaction type: services"},
    {0x9F40, 1, 5, "Transaction type: cashback"},
    {0x9F40, 1, 4, "Transaction type: inquiry"},
    {0x9F40, 1, 3, "Transaction type: transfer"},
    {0x9F40, 1, 2, "Transaction type: payment"},
    {0x9F40, 1, 1, "Transaction type: administrative"},
    {0x9F40, 2, 8, "Transaction type: cash deposit"},
    {0x9F40, 3, 8, "Terminal data input: numeric keys"},
    {0x9F40, 3, 7, "Terminal data input: alphabetic and special characters keys"},
    {0x9F40, 3, 6, "Terminal data input: command keys"},
    {0x9F40, 3, 5, "Terminal data input: function keys"},
    {0x9F40, 4, 8, "Terminal data output: print, attendant"},
    {0x9F40, 4, 7, "Terminal data output: print, cardholder"},
    {0x9F40, 4, 6, "Terminal data output: display, attendant"},
    {0x9F40, 4, 5, "Terminal data output: display, cardholder"},
    {0x9F40, 4, 2, "Code table 10"},
    {0x9F40, 4, 1, "Code table 9"},
    {0x9F40, 5, 8, "Code table 8"},
    {0x9F40, 5, 7, "Code table 7"},
    {0x9F40, 5, 6, "Code table 6"},
    {0x9F40, 5, 5, "Code table 5"},
    {0x9F40, 5, 4, "Code table 4"},
    {0x9F40, 5, 3, "Code table 3"},
    {0x9F40, 5, 2, "Code table 2"},
    {0x9F40, 5, 1, "Code table 1"},
};

// The issuer action codes are coded as the TVR.
uint32_t table_tag(uint32_t tag)
{
    return tag == 0x9F0D || tag == 0x9F0E || tag == 0x9F0F ? 0x95 : tag;
}

// The contactless qualifiers' bits live with fDDA's rules.
const char* qualifier_meaning(uint32_t tag, int32_t byte, int32_t bit)
{
    int32_t count = 0;
    const EmvQualifierBit* bits = emv_qualifier_bits(tag, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (bits[i].byte + 1 == byte && bits[i].mask == 1 << (bit - 1))
            return bits[i].name;
    }
    return "RFU";
}

}  // namespace

bool emv_is_bit_field(uint32_t tag)
{
    const uint32_t t = table_tag(tag);
    return t == 0x82 || t == 0x95 || t == 0x9B || t == 0x9F07 || t == 0x9F27 || t == 0x9F33 ||
           t == 0x9F40 || t == 0x9F66 || t == 0x9F6C;
}

const char* emv_bit_meaning(uint32_t tag, int32_t byte, int32_t bit)
{
    const uint32_t t = table_tag(tag);
    if (t == 0x9F66 || t == 0x9F6C)
        return qualifier_meaning(t, byte, bit);
    for (const TagBit& b : kBits) {
        if (b.tag == t && b.byte == byte && b.bit == bit)
            return b.meaning;
    }
    return "RFU";
}
