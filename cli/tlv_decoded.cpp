// Decoded views of the coded data elements, as JSON and as text lines.

#include "cli/tlv_decoded.h"

#include "cli/tlv_report.h"
#include "emv/emv_decode.h"
#include "emv/emv_dol.h"
#include "emv/emv_oda.h"
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

bool is_currency(uint32_t tag)
{
    return tag == 0x5F2A || tag == 0x9F42;
}

bool is_country(uint32_t tag)
{
    return tag == 0x9F1A || tag == 0x5F28;
}

Json problem(const std::string& text)
{
    return Json{{"problem", text}};
}

Json dol_json(EmvBytes value)
{
    EmvDol dol;
    EmvTlvError error;
    if (emv_dol_parse(value, &dol, &error) != EMV_TLV_OK)
        return problem("not a well-formed data object list: " + tlv_problem_text(error));
    Json entries = Json::array();
    for (int32_t i = 0; i < dol.count; ++i) {
        const EmvDolEntry& e = dol.entries[i];
        const char* name = emv_tag_name(e.tag);
        entries.push_back({{"tag", tag_text(e.tag)},
                           {"length", e.length},
                           {"name", name != nullptr ? Json(name) : Json(nullptr)}});
    }
    return Json{{"entries", entries}};
}

Json afl_json(EmvBytes value)
{
    if (value.length % 4 != 0) {
        return problem("not an AFL: " + std::to_string(value.length) +
                       " bytes, not a multiple of 4");
    }
    Json entries = Json::array();
    for (int32_t i = 0; i < value.length; i += 4) {
        const uint8_t* e = value.data + i;
        entries.push_back(
            {{"sfi", e[0] >> 3}, {"first", e[1]}, {"last", e[2]}, {"oda_records", e[3]}});
    }
    return Json{{"entries", entries}};
}

int bcd(uint8_t byte)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    return high > 9 || low > 9 ? -1 : high * 10 + low;
}

Json date_json(EmvBytes value)
{
    const int yy = value.length == 3 ? bcd(value.data[0]) : -1;
    const int mm = yy >= 0 ? bcd(value.data[1]) : -1;
    const int dd = mm >= 0 ? bcd(value.data[2]) : -1;
    if (dd < 1 || dd > 31 || mm < 1 || mm > 12)
        return problem("not a date YYMMDD");
    char text[16];
    snprintf(text, sizeof text, "%04d-%02d-%02d", (yy < 50 ? 2000 : 1900) + yy, mm, dd);
    return Json{{"date", text}};
}

Json time_json(EmvBytes value)
{
    const int hh = value.length == 3 ? bcd(value.data[0]) : -1;
    const int mm = hh >= 0 ? bcd(value.data[1]) : -1;
    const int ss = mm >= 0 ? bcd(value.data[2]) : -1;
    if (hh > 23 || mm > 59 || ss < 0 || ss > 59)
        return problem("not a time HHMMSS");
    char text[16];
    snprintf(text, sizeof text, "%02d:%02d:%02d", hh, mm, ss);
    return Json{{"time", text}};
}

Json bits_json(uint32_t tag, EmvBytes value)
{
    Json bits = Json::array();
    for (int32_t i = 0; i < value.length; ++i) {
        for (int bit = 8; bit >= 1; --bit) {
            if ((value.data[i] >> (bit - 1) & 1) == 0)
                continue;
            bits.push_back(
                {{"byte", i + 1}, {"bit", bit}, {"meaning", emv_bit_meaning(tag, i + 1, bit)}});
        }
    }
    return bits;
}

// Card authentication related data (fDDA): version, card unpredictable
// number, then the CTQ when it carries one, and what follows.
Json card_data_json(EmvBytes value)
{
    if (value.length < 5) {
        return problem("too short: " + std::to_string(value.length) + " bytes, 5 at least");
    }
    Json d = {{"version", hex_text(value.data, 1)},
              {"card_unpredictable_number", hex_text(value.data + 1, 4)}};
    if (value.length >= 7)
        d["ctq"] = {{"value", hex_text(value.data + 5, 2)},
                    {"bits", bits_json(0x9F6C, {value.data + 5, 2})}};
    if (value.length > 7)
        d["then"] = hex_text(value.data + 7, static_cast<size_t>(value.length - 7));
    return d;
}

Json rule_json(uint8_t first, uint8_t condition)
{
    const EmvCvRule rule = emv_cv_rule(first, condition);
    return {{"method", hex_text(&rule.method, 1)},
            {"condition", hex_text(&rule.condition, 1)},
            {"method_name", emv_cvm_method_name(rule.method)},
            {"condition_name", emv_cvm_condition_name(rule.condition)},
            {"apply_next", rule.apply_next}};
}

uint32_t binary_number(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

Json cvm_list_json(EmvBytes value)
{
    if (value.length < 8 || value.length % 2 != 0)
        return problem("not a CVM list: amounts X and Y, then rules of 2 bytes");
    Json rules = Json::array();
    for (int32_t i = 8; i < value.length; i += 2)
        rules.push_back(rule_json(value.data[i], value.data[i + 1]));
    return {
        {"x", binary_number(value.data)}, {"y", binary_number(value.data + 4)}, {"rules", rules}};
}

Json cvm_results_json(EmvBytes value)
{
    if (value.length != 3)
        return problem("not CVM results: 3 bytes");
    Json doc = rule_json(value.data[0], value.data[1]);
    doc["result"] = hex_text(value.data + 2, 1);
    doc["result_name"] = emv_cvm_result_name(value.data[2]);
    return doc;
}

Json code_json(uint32_t tag, EmvBytes value)
{
    const int32_t code = emv_bcd_code(value);
    if (code < 0)
        return problem("not a 3-digit code");
    char numeric[16];
    snprintf(numeric, sizeof numeric, "%03d", code);
    Json doc = {{"numeric", numeric}, {"alpha", nullptr}, {"name", nullptr}};
    if (is_currency(tag)) {
        if (const EmvCurrency* c = emv_currency(static_cast<uint16_t>(code))) {
            doc["alpha"] = c->alpha;
            doc["name"] = c->name;
        }
    } else if (const EmvCountry* c = emv_country(static_cast<uint16_t>(code))) {
        doc["alpha"] = c->alpha3;
        doc["name"] = c->name;
    }
    return doc;
}

Json amount_json(EmvBytes value, int exponent)
{
    std::string digits;
    for (int32_t i = 0; i < value.length; ++i) {
        if (bcd(value.data[i]) < 0)
            return problem("not an amount: a nibble is not a digit");
        digits += static_cast<char>('0' + (value.data[i] >> 4));
        digits += static_cast<char>('0' + (value.data[i] & 0x0F));
    }
    const size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    if (exponent < 0 && digits.size() <= 18)
        return {{"value", std::stoull(digits)}};
    if (exponent < 0)
        return {{"value", digits}};
    const size_t e = static_cast<size_t>(exponent);
    if (digits.size() <= e)
        digits.insert(0, e + 1 - digits.size(), '0');
    if (e > 0)
        digits.insert(digits.size() - e, ".");
    return {{"value", digits}};
}

Json meaning_json(uint32_t tag, EmvBytes value)
{
    if (value.length != 1)
        return problem("not 1 byte");
    if (tag == 0x9C) {
        const char* name = emv_transaction_type_name(value.data[0]);
        return {{"meaning", name != nullptr ? name : "not a common transaction type"}};
    }
    char text[96];
    emv_terminal_type_text(value.data[0], text, sizeof text);
    return {{"meaning", text[0] != '\0' ? text : "not a defined terminal type"}};
}

std::string rule_text(const Json& r)
{
    return r["method"].get<std::string>() + " " + r["method_name"].get<std::string>() + ", " +
           r["condition"].get<std::string>() + " " + r["condition_name"].get<std::string>() +
           (r["apply_next"].get<bool>() ? "; apply next if unsuccessful"
                                        : "; fail if unsuccessful");
}

void add_bit_lines(std::vector<std::string>& lines, const Json& bits)
{
    for (const Json& b : bits) {
        lines.push_back("byte " + text_value(b["byte"]) + " bit " + text_value(b["bit"]) + ": " +
                        b["meaning"].get<std::string>());
    }
    if (bits.empty())
        lines.push_back("no bit set");
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

int currency_exponent(EmvBytes value)
{
    const int32_t code = emv_bcd_code(value);
    const EmvCurrency* c = code < 0 ? nullptr : emv_currency(static_cast<uint16_t>(code));
    return c != nullptr ? c->exponent : -1;
}

Json decoded_json(uint32_t tag, EmvBytes value, const DecodeContext& context)
{
    if (is_dol(tag))
        return dol_json(value);
    if (tag == 0x94)
        return afl_json(value);
    if (is_date(tag))
        return date_json(value);
    if (tag == 0x9F21)
        return time_json(value);
    if (tag == 0x82 && value.length == 2)
        return {{"oda_methods", aip_methods(value.data)}, {"bits", bits_json(tag, value)}};
    if (tag == 0x9F27 && value.length == 1) {
        return {{"bits", bits_json(tag, value)},
                {"cryptogram", emv_cryptogram_name(emv_cryptogram_of(value.data[0]))}};
    }
    if (emv_is_bit_field(tag))
        return {{"bits", bits_json(tag, value)}};
    if (tag == 0x9F69)
        return card_data_json(value);
    if (tag == 0x8E)
        return cvm_list_json(value);
    if (tag == 0x9F34)
        return cvm_results_json(value);
    if (tag == 0x9C || tag == 0x9F35)
        return meaning_json(tag, value);
    if (is_currency(tag) || is_country(tag))
        return code_json(tag, value);
    if (tag == 0x9F02 || tag == 0x9F03)
        return amount_json(value, context.currency_exponent);
    return nullptr;
}

std::vector<std::string> decoded_lines(uint32_t tag, const Json& d)
{
    if (d.is_null())
        return {};
    if (d.contains("problem"))
        return {d["problem"].get<std::string>()};
    std::vector<std::string> lines;
    if (is_dol(tag)) {
        for (const Json& e : d["entries"]) {
            const int length = e["length"].get<int>();
            lines.push_back(e["tag"].get<std::string>() + ", " + std::to_string(length) +
                            (length == 1 ? " byte" : " bytes") + ": " +
                            (e["name"].is_null() ? "unknown tag" : e["name"].get<std::string>()));
        }
        if (lines.empty())
            lines.push_back("an empty list");
    } else if (tag == 0x94) {
        for (const Json& e : d["entries"])
            lines.push_back(afl_entry_text(e["sfi"], e["first"], e["last"], e["oda_records"]));
    } else if (d.contains("card_unpredictable_number")) {
        lines.push_back("version " + d["version"].get<std::string>());
        lines.push_back("card unpredictable number " +
                        d["card_unpredictable_number"].get<std::string>());
        if (d.contains("ctq")) {
            lines.push_back("CTQ " + d["ctq"]["value"].get<std::string>());
            std::vector<std::string> bits;
            add_bit_lines(bits, d["ctq"]["bits"]);
            for (const std::string& b : bits)
                lines.push_back("  " + b);
        }
        if (d.contains("then"))
            lines.push_back("then " + d["then"].get<std::string>());
    } else if (d.contains("oda_methods")) {
        lines.push_back("ODA methods supported: " + d["oda_methods"].get<std::string>());
        add_bit_lines(lines, d["bits"]);
    } else if (d.contains("bits")) {
        if (d.contains("cryptogram"))
            lines.push_back("cryptogram: " + d["cryptogram"].get<std::string>());
        add_bit_lines(lines, d["bits"]);
    } else if (d.contains("rules")) {
        lines.push_back("amount X: " + text_value(d["x"]) + ", amount Y: " + text_value(d["y"]));
        for (const Json& r : d["rules"])
            lines.push_back("rule " + rule_text(r));
    } else if (d.contains("result")) {
        lines.push_back("rule " + rule_text(d));
        lines.push_back("result " + d["result"].get<std::string>() + " " +
                        d["result_name"].get<std::string>());
    } else if (d.contains("numeric")) {
        lines.push_back(d["numeric"].get<std::string>() +
                        (d["alpha"].is_null() ? ": not in the table"
                                              : " " + d["alpha"].get<std::string>() + ", " +
                                                    d["name"].get<std::string>()));
    } else {
        for (const char* key : {"meaning", "value", "date", "time"}) {
            if (d.contains(key))
                lines.push_back(text_value(d[key]));
        }
    }
    return lines;
}

std::vector<std::string> decoded_value(uint32_t tag, EmvBytes value)
{
    return decoded_lines(tag, decoded_json(tag, value));
}
