// The tag dictionary: one table, sorted by tag, searched by halves. Names
// of the data elements a card and a terminal exchange, and of the scheme
// tags common in card data (where schemes give one tag different meanings,
// the contactless payment meaning).
#include "emv/emv_tags.h"

namespace {

const EmvTagInfo kTags[] = {
    {0x42, "Issuer Identification Number (IIN)", EMV_TAG_NUMERIC},
    {0x4F, "Application Dedicated File (ADF) Name", EMV_TAG_BINARY},
    {0x50, "Application Label", EMV_TAG_TEXT},
    {0x56, "Track 1 Data", EMV_TAG_BINARY},
    {0x57, "Track 2 Equivalent Data", EMV_TAG_BINARY},
    {0x5A, "Application Primary Account Number (PAN)", EMV_TAG_COMPRESSED},
    {0x61, "Application Template", EMV_TAG_BINARY},
    {0x6F, "File Control Information (FCI) Template", EMV_TAG_BINARY},
    {0x70, "READ RECORD Response Message Template", EMV_TAG_BINARY},
    {0x71, "Issuer Script Template 1", EMV_TAG_BINARY},
    {0x72, "Issuer Script Template 2", EMV_TAG_BINARY},
    {0x73, "Directory Discretionary Template", EMV_TAG_BINARY},
    {0x77, "Response Message Template Format 2", EMV_TAG_BINARY},
    {0x80, "Response Message Template Format 1", EMV_TAG_BINARY},
    {0x81, "Amount, Authorised (Binary)", EMV_TAG_BINARY},
    {0x82, "Application Interchange Profile", EMV_TAG_BINARY},
    {0x83, "Command Template", EMV_TAG_BINARY},
    {0x84, "Dedicated File (DF) Name", EMV_TAG_BINARY},
    {0x86, "Issuer Script Command", EMV_TAG_BINARY},
    {0x87, "Application Priority Indicator", EMV_TAG_BINARY},
    {0x88, "Short File Identifier (SFI)", EMV_TAG_BINARY},
    {0x89, "Authorisation Code", EMV_TAG_ALPHA},
    {0x8A, "Authorisation Response Code", EMV_TAG_ALPHA},
    {0x8C, "Card Risk Management Data Object List 1 (CDOL1)", EMV_TAG_BINARY},
    {0x8D, "Card Risk Management Data Object List 2 (CDOL2)", EMV_TAG_BINARY},
    {0x8E, "Cardholder Verification Method (CVM) List", EMV_TAG_BINARY},
    {0x8F, "Certification Authority Public Key Index", EMV_TAG_BINARY},
    {0x90, "Issuer Public Key Certificate", EMV_TAG_BINARY},
    {0x91, "Issuer Authentication Data", EMV_TAG_BINARY},
    {0x92, "Issuer Public Key Remainder", EMV_TAG_BINARY},
    {0x93, "Signed Static Application Data", EMV_TAG_BINARY},
    {0x94, "Application File Locator (AFL)", EMV_TAG_BINARY},
    {0x95, "Terminal Verification Results", EMV_TAG_BINARY},
    {0x97, "Transaction Certificate Data Object List (TDOL)", EMV_TAG_BINARY},
    {0x98, "Transaction Certificate (TC) Hash Value", EMV_TAG_BINARY},
    {0x99, "Transaction Personal Identification Number (PIN) Data", EMV_TAG_BINARY},
    {0x9A, "Transaction Date", EMV_TAG_NUMERIC},
    {0x9B, "Transaction Status Information", EMV_TAG_BINARY},
    {0x9C, "Transaction Type", EMV_TAG_NUMERIC},
    {0x9D, "Directory Definition File (DDF) Name", EMV_TAG_BINARY},
    {0xA5, "File Control Information (FCI) Proprietary Template", EMV_TAG_BINARY},
    {0x5F20, "Cardholder Name", EMV_TAG_TEXT},
    {0x5F24, "Application Expiration Date", EMV_TAG_NUMERIC},
    {0x5F25, "Application Effective Date", EMV_TAG_NUMERIC},
    {0x5F28, "Issuer Country Code", EMV_TAG_NUMERIC},
    {0x5F2A, "Transaction Currency Code", EMV_TAG_NUMERIC},
    {0x5F2D, "Language Preference", EMV_TAG_ALPHA},
    {0x5F30, "Service Code", EMV_TAG_NUMERIC},
    {0x5F34, "Application Primary Account Number (PAN) Sequence Number", EMV_TAG_NUMERIC},
    {0x5F36, "Transaction Currency Exponent", EMV_TAG_NUMERIC},
    {0x5F50, "Issuer URL", EMV_TAG_TEXT},
    {0x5F53, "International Bank Account Number (IBAN)", EMV_TAG_BINARY},
    {0x5F54, "Bank Identifier Code (BIC)", EMV_TAG_BINARY},
    {0x5F55, "Issuer Country Code (alpha2 format)", EMV_TAG_ALPHA},
    {0x5F56, "Issuer Country Code (alpha3 format)", EMV_TAG_ALPHA},
    {0x5F57, "Account Type", EMV_TAG_NUMERIC},
    {0x9F01, "Acquirer Identifier", EMV_TAG_NUMERIC},
    {0x9F02, "Amount, Authorised (Numeric)", EMV_TAG_NUMERIC},
    {0x9F03, "Amount, Other (Numeric)", EMV_TAG_NUMERIC},
    {0x9F04, "Amount, Other (Binary)", EMV_TAG_BINARY},
    {0x9F05, "Application Discretionary Data", EMV_TAG_BINARY},
    {0x9F06, "Application Identifier (AID) - terminal", EMV_TAG_BINARY},
    {0x9F07, "Application Usage Control", EMV_TAG_BINARY},
    {0x9F08, "Application Version Number (card)", EMV_TAG_BINARY},
    {0x9F09, "Application Version Number (terminal)", EMV_TAG_BINARY},
    {0x9F0A, "Application Selection Registered Proprietary Data", EMV_TAG_BINARY},
    {0x9F0B, "Cardholder Name Extended", EMV_TAG_TEXT},
    {0x9F0C, "Issuer Identification Number Extended (IINE)", EMV_TAG_NUMERIC},
    {0x9F0D, "Issuer Action Code - Default", EMV_TAG_BINARY},
    {0x9F0E, "Issuer Action Code - Denial", EMV_TAG_BINARY},
    {0x9F0F, "Issuer Action Code - Online", EMV_TAG_BINARY},
    {0x9F10, "Issuer Application Data", EMV_TAG_BINARY},
    {0x9F11, "Issuer Code Table Index", EMV_TAG_NUMERIC},
    {0x9F12, "Application Preferred Name", EMV_TAG_TEXT},
    {0x9F13, "Last Online Application Transaction Counter (ATC) Register", EMV_TAG_BINARY},
    {0x9F14, "Lower Consecutive Offline Limit", EMV_TAG_BINARY},
    {0x9F15, "Merchant Category Code", EMV_TAG_NUMERIC},
    {0x9F16, "Merchant Identifier", EMV_TAG_TEXT},
    {0x9F17, "Personal Identification Number (PIN) Try Counter", EMV_TAG_BINARY},
    {0x9F18, "Issuer Script Identifier", EMV_TAG_BINARY},
    {0x9F19, "Token Requestor ID", EMV_TAG_NUMERIC},
    {0x9F1A, "Terminal Country Code", EMV_TAG_NUMERIC},
    {0x9F1B, "Terminal Floor Limit", EMV_TAG_BINARY},
    {0x9F1C, "Terminal Identification", EMV_TAG_ALPHA},
    {0x9F1D, "Terminal Risk Management Data", EMV_TAG_BINARY},
    {0x9F1E, "Interface Device (IFD) Serial Number", EMV_TAG_ALPHA},
    {0x9F1F, "Track 1 Discretionary Data", EMV_TAG_TEXT},
    {0x9F20, "Track 2 Discretionary Data", EMV_TAG_COMPRESSED},
    {0x9F21, "Transaction Time", EMV_TAG_NUMERIC},
    {0x9F22, "Certification Authority Public Key Index (terminal)", EMV_TAG_BINARY},
    {0x9F23, "Upper Consecutive Offline Limit", EMV_TAG_BINARY},
    {0x9F24, "Payment Account Reference (PAR)", EMV_TAG_ALPHA},
    {0x9F25, "Last 4 Digits of PAN", EMV_TAG_NUMERIC},
    {0x9F26, "Application Cryptogram", EMV_TAG_BINARY},
    {0x9F27, "Cryptogram Information Data", EMV_TAG_BINARY},
    {0x9F29, "Extended Selection", EMV_TAG_BINARY},
    {0x9F2A, "Kernel Identifier", EMV_TAG_BINARY},
    {0x9F2D, "ICC PIN Encipherment Public Key Certificate", EMV_TAG_BINARY},
    {0x9F2E, "ICC PIN Encipherment Public Key Exponent", EMV_TAG_BINARY},
    {0x9F2F, "ICC PIN Encipherment Public Key Remainder", EMV_TAG_BINARY},
    {0x9F32, "Issuer Public Key Exponent", EMV_TAG_BINARY},
    {0x9F33, "Terminal Capabilities", EMV_TAG_BINARY},
    {0x9F34, "Cardholder Verification Method (CVM) Results", EMV_TAG_BINARY},
    {0x9F35, "Terminal Type", EMV_TAG_NUMERIC},
    {0x9F36, "Application Transaction Counter (ATC)", EMV_TAG_BINARY},
    {0x9F37, "Unpredictable Number", EMV_TAG_BINARY},
    {0x9F38, "Processing Options Data Object List (PDOL)", EMV_TAG_BINARY},
    {0x9F39, "Point-of-Service (POS) Entry Mode", EMV_TAG_NUMERIC},
    {0x9F3A, "Amount, Reference Currency", EMV_TAG_BINARY},
    {0x9F3B, "Application Reference Currency", EMV_TAG_NUMERIC},
    {0x9F3C, "Transaction Reference Currency Code", EMV_TAG_NUMERIC},
    {0x9F3D, "Transaction Reference Currency Exponent", EMV_TAG_NUMERIC},
    {0x9F40, "Additional Terminal Capabilities", EMV_TAG_BINARY},
    {0x9F41, "Transaction Sequence Counter", EMV_TAG_NUMERIC},
    {0x9F42, "Application Currency Code", EMV_TAG_NUMERIC},
    {0x9F43, "Application Reference Currency Exponent", EMV_TAG_NUMERIC},
    {0x9F44, "Application Currency Exponent", EMV_TAG_NUMERIC},
    {0x9F45, "Data Authentication Code", EMV_TAG_BINARY},
    {0x9F46, "ICC Public Key Certificate", EMV_TAG_BINARY},
    {0x9F47, "ICC Public Key Exponent", EMV_TAG_BINARY},
    {0x9F48, "ICC Public Key Remainder", EMV_TAG_BINARY},
    {0x9F49, "Dynamic Data Authentication Data Object List (DDOL)", EMV_TAG_BINARY},
    {0x9F4A, "Static Data Authentication Tag List", EMV_TAG_BINARY},
    {0x9F4B, "Signed Dynamic Application Data", EMV_TAG_BINARY},
    {0x9F4C, "ICC Dynamic Number", EMV_TAG_BINARY},
    {0x9F4D, "Log Entry", EMV_TAG_BINARY},
    {0x9F4E, "Merchant Name and Location", EMV_TAG_TEXT},
    {0x9F4F, "Log Format", EMV_TAG_BINARY},
    {0x9F50, "Offline Accumulator Balance", EMV_TAG_NUMERIC},
    {0x9F51, "Application Currency Code (scheme)", EMV_TAG_NUMERIC},
    {0x9F52, "Application Default Action (ADA)", EMV_TAG_BINARY},
    {0x9F53, "Consecutive Transaction Limit (International)", EMV_TAG_BINARY},
    {0x9F54, "Cumulative Total Transaction Amount Limit", EMV_TAG_NUMERIC},
    {0x9F55, "Geographic Indicator", EMV_TAG_BINARY},
    {0x9F56, "Issuer Authentication Indicator", EMV_TAG_BINARY},
    {0x9F57, "Issuer Country Code (scheme)", EMV_TAG_NUMERIC},
    {0x9F58, "Lower Consecutive Offline Limit (scheme)", EMV_TAG_BINARY},
    {0x9F59, "Upper Consecutive Offline Limit (scheme)", EMV_TAG_BINARY},
    {0x9F5A, "Application Program Identifier", EMV_TAG_BINARY},
    {0x9F5B, "Issuer Script Results", EMV_TAG_BINARY},
    {0x9F5C, "Cumulative Total Transaction Amount Upper Limit", EMV_TAG_NUMERIC},
    {0x9F5D, "Available Offline Spending Amount", EMV_TAG_BINARY},
    {0x9F60, "CVC3 (Track1)", EMV_TAG_BINARY},
    {0x9F61, "CVC3 (Track2)", EMV_TAG_BINARY},
    {0x9F62, "PCVC3 (Track1)", EMV_TAG_BINARY},
    {0x9F63, "PUNATC (Track1)", EMV_TAG_BINARY},
    {0x9F64, "NATC (Track1)", EMV_TAG_BINARY},
    {0x9F65, "PCVC3 (Track2)", EMV_TAG_BINARY},
    {0x9F66, "Terminal Transaction Qualifiers (TTQ)", EMV_TAG_BINARY},
    {0x9F67, "NATC (Track2)", EMV_TAG_BINARY},
    {0x9F68, "Card Additional Processes", EMV_TAG_BINARY},
    {0x9F69, "Card Authentication Related Data", EMV_TAG_BINARY},
    {0x9F6A, "Unpredictable Number (Numeric)", EMV_TAG_NUMERIC},
    {0x9F6B, "Track 2 Data", EMV_TAG_BINARY},
    {0x9F6C, "Card Transaction Qualifiers (CTQ)", EMV_TAG_BINARY},
    {0x9F6D, "Mag-stripe Application Version Number (Reader)", EMV_TAG_BINARY},
    {0x9F6E, "Third Party Data", EMV_TAG_BINARY},
    {0x9F70, "Protected Data Envelope 1", EMV_TAG_BINARY},
    {0x9F71, "Protected Data Envelope 2", EMV_TAG_BINARY},
    {0x9F72, "Consecutive Transaction Limit (International - Country)", EMV_TAG_BINARY},
    {0x9F73, "Currency Conversion Factor", EMV_TAG_BINARY},
    {0x9F74, "VLP Issuer Authorisation Code", EMV_TAG_ALPHA},
    {0x9F75, "Cumulative Total Transaction Amount Limit - Dual Currency", EMV_TAG_NUMERIC},
    {0x9F76, "Secondary Application Currency Code", EMV_TAG_NUMERIC},
    {0x9F77, "VLP Funds Limit", EMV_TAG_NUMERIC},
    {0x9F78, "VLP Single Transaction Limit", EMV_TAG_NUMERIC},
    {0x9F79, "VLP Available Funds", EMV_TAG_NUMERIC},
    {0x9F7C, "Customer Exclusive Data", EMV_TAG_BINARY},
    {0x9F7F, "Card Production Life Cycle (CPLC) History File Identifiers", EMV_TAG_BINARY},
    {0xBF0C, "File Control Information (FCI) Issuer Discretionary Data", EMV_TAG_BINARY},
};

constexpr int32_t kTagCount = (int32_t)(sizeof kTags / sizeof kTags[0]);

}  // namespace

const EmvTagInfo* emv_tag_info(uint32_t tag)
{
    int32_t low = 0;
    int32_t high = kTagCount - 1;
    while (low <= high) {
        const int32_t mid = low + (high - low) / 2;
        if (kTags[mid].tag == tag) {
            return &kTags[mid];
        }
        if (kTags[mid].tag < tag) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return nullptr;
}

const char* emv_tag_name(uint32_t tag)
{
    const EmvTagInfo* info = emv_tag_info(tag);
    return info != nullptr ? info->name : nullptr;
}

EmvTagFormat emv_tag_format(uint32_t tag)
{
    const EmvTagInfo* info = emv_tag_info(tag);
    return info != nullptr ? info->format : EMV_TAG_BINARY;
}
