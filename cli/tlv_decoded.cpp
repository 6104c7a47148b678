// Decoded views of DOLs, the AFL, the AIP and dates.

#include "cli/tlv_decoded.h"

#include "cli/tlv_report.h"
#include "emv/emv_dol.h"
#include "emv/emv_oda.h"
#include "emv/emv_qualifiers.h"
#include "emv/emv_tags.h"

namespace {

bool is_dol(uint32_t tag)
{
    return tag == 0x9F38 || tag == 0x8C || tag == 0x8D || tag == 0x9F49 || tag == 0x97;
}

bool is_date(uint32_t tag)
{
    return tag == 0x5F24 || tag == 0x5F25 || tag == 0x9A;
}

std::vector<std::string> dol_lines(EmvBytes value)
{
    EmvDol dol;
    EmvTlvError error;
    if (emv_dol_parse(value, &dol, &error) != EMV_TLV_OK)
        return {"not a well-formed data object list: " + tlv_problem_text(error)};
    std::vector<std::string> lines;
    for (int32_t i = 0; i < dol.count; ++i) {
        const EmvDolEntry& e = dol.entries[i];
        const char* name = emv_tag_name(e.tag);
        lines.push_back(tag_text(e.tag) + ", " + std::to_string(e.length) +
                        (e.length == 1 ? " byte" : " bytes") + ": " +
                        (name != nullptr ? name : "unknown tag"));
    }
    if (dol.count == 0)
        lines.push_back("an empty list");
    return lines;
}

std::vector<std::string> afl_lines(EmvBytes value)
{
    if (value.length % 4 != 0)
        return {"not an AFL: " + std::to_string(value.length) + " bytes, not a multiple of 4"};
    std::vector<std::string> lines;
    for (int32_t i = 0; i < value.length; i += 4) {
        const uint8_t* e = value.data + i;
        lines.push_back(afl_entry_text(static_cast<uint8_t>(e[0] >> 3), e[1], e[2], e[3]));
    }
    return lines;
}

int bcd(uint8_t byte)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    return high > 9 || low > 9 ? -1 : high * 10 + low;
}

std::vector<std::string> date_lines(EmvBytes value)
{
    const int yy = value.length == 3 ? bcd(value.data[0]) : -1;
    const int mm = yy >= 0 ? bcd(value.data[1]) : -1;
    const int dd = mm >= 0 ? bcd(value.data[2]) : -1;
    if (dd < 1 || dd > 31 || mm < 1 || mm > 12)
        return {"not a date YYMMDD"};
    char text[16];
    snprintf(text, sizeof text, "%04d-%02d-%02d", (yy < 50 ? 2000 : 1900) + yy, mm, dd);
    return {text};
}

// The bits set in a qualifier (9F66, 9F6C), one line each.
std::vector<std::string> qualifier_lines(uint32_t tag, EmvBytes value)
{
    int32_t count = 0;
    const EmvQualifierBit* bits = emv_qualifier_bits(tag, &count);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < count; ++i) {
        const EmvQualifierBit& b = bits[i];
        if (b.byte < value.length && (value.data[b.byte] & b.mask) != 0)
            lines.push_back("byte " + std::to_string(b.byte + 1) + " " + hex_text(&b.mask, 1) +
                            ": " + b.name);
    }
    if (lines.empty())
        lines.push_back("no bit set");
    return lines;
}

// Card authentication related data: version, card unpredictable number,
// then the CTQ when it carries one.
std::vector<std::string> card_data_lines(EmvBytes value)
{
    if (value.length < 5)
        return {"too short: " + std::to_string(value.length) + " bytes, 5 at least"};
    std::vector<std::string> lines = {"version " + hex_text(value.data, 1),
                                      "card unpredictable number " + hex_text(value.data + 1, 4)};
    if (value.length >= 7) {
        lines.push_back("CTQ " + hex_text(value.data + 5, 2));
        for (const std::string& l : qualifier_lines(0x9F6C, {value.data + 5, 2}))
            lines.push_back("  " + l);
    }
    if (value.length > 7)
        lines.push_back("then " + hex_text(value.data + 7, static_cast<size_t>(value.length - 7)));
    return lines;
}

}  // namespace

std::string tag_text(uint32_t tag)
{
    char text[12];
    snprintf(text, sizeof text, tag > 0xFFFF ? "%06X" : tag > 0xFF ? "%04X" : "%02X", tag);
    return text;
}

std::string aip_methods(const uint8_t aip[2])
{
    std::string methods;
    const struct {
        uint8_t bit;
        const char* name;
    } kMethods[] = {{EMV_AIP_SDA, "SDA"}, {EMV_AIP_DDA, "DDA"}, {EMV_AIP_CDA, "CDA"}};
    for (const auto& m : kMethods) {
        if ((aip[0] & m.bit) != 0)
            methods += (methods.empty() ? "" : ", ") + std::string(m.name);
    }
    return methods.empty() ? "none" : methods;
}

std::string afl_entry_text(uint8_t sfi, uint8_t first, uint8_t last, uint8_t oda_records)
{
    return "SFI " + std::to_string(sfi) + ": records " + std::to_string(first) + "-" +
           std::to_string(last) + ", " + std::to_string(oda_records) + " for ODA";
}

std::vector<std::string> decoded_value(uint32_t tag, EmvBytes value)
{
    if (is_dol(tag))
        return dol_lines(value);
    if (tag == 0x94)
        return afl_lines(value);
    if (tag == 0x82 && value.length == 2)
        return {"ODA methods supported: " + aip_methods(value.data)};
    if (is_date(tag))
        return date_lines(value);
    if (tag == 0x9F66 || tag == 0x9F6C)
        return qualifier_lines(tag, value);
    if (tag == 0x9F69)
        return card_data_lines(value);
    return {};
}
