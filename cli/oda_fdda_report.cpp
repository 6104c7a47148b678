// fDDA's object in oda's JSON, and its text.

#include "cli/oda_fdda_report.h"

#include "cli/hex_args.h"
#include "cli/tlv_decoded.h"

namespace {

Json bytes_json(EmvBytes bytes)
{
    if (bytes.data == nullptr && bytes.length < 0)
        return nullptr;
    return hex_text(bytes.data, static_cast<size_t>(bytes.length < 0 ? 0 : bytes.length));
}

Json check_json(EmvCheckResult r)
{
    return r == EMV_CHECK_NOT_MADE ? Json(nullptr) : Json(r == EMV_CHECK_PASSED);
}

std::string shown(const Json& value)
{
    return value.is_null() ? "not in the trace" : text_value(value);
}

std::string check_text(const Json& v)
{
    return v.is_null() ? "not checked" : v.get<bool>() ? "passed" : "FAILED";
}

// A value as hex, then what it means, one indented line each.
void add_decoded(std::string& text, const std::string& name, uint32_t tag, const Json& value)
{
    add_line(text, name, shown(value));
    if (value.is_null())
        return;
    const std::vector<uint8_t> bytes = parse_hex_arg(name, value.get<std::string>());
    const EmvBytes b = {bytes.data(), static_cast<int32_t>(bytes.size())};
    for (const std::string& line : decoded_value(tag, b))
        text += "    " + line + "\n";
}

}  // namespace

Json fdda_json(const EmvFddaResult& f)
{
    Json doc;
    doc["unpredictable_number"] = bytes_json(f.unpredictable_number);
    doc["amount"] = bytes_json(f.amount);
    doc["currency"] = bytes_json(f.currency);
    doc["card_authentication_data"] = bytes_json(f.card_data);
    doc["ctq"] = bytes_json(f.ctq);
    const bool has_version = f.card_data.data != nullptr && f.card_data.length >= 1;
    doc["version"] = has_version ? Json(hex_text(f.card_data.data, 1)) : Json(nullptr);
    doc["format"] = f.format_read ? Json(hex_text(&f.format, 1)) : Json(nullptr);
    Json checks = Json::object();
    checks["hash"] = check_json(f.hash);
    checks["format"] = check_json(f.format_check);
    checks["version"] = check_json(f.version);
    checks["card_data_length"] = check_json(f.card_data_length);
    checks["dynamic_number_atc"] = check_json(f.dynamic_number_atc);
    doc["checks"] = checks;
    doc["failure_action"] = emv_fdda_action_name(f.failure_action) != nullptr
                                ? Json(emv_fdda_action_name(f.failure_action))
                                : Json(nullptr);
    return doc;
}

void finish_fdda_sdad(Json& sdad, const EmvFddaResult& f)
{
    const std::pair<const char*, EmvCheckResult> own[] = {
        {"format", f.format_check},
        {"version", f.version},
        {"card_data_length", f.card_data_length},
        {"dynamic_number_atc", f.dynamic_number_atc}};
    std::string failed;
    for (const auto& [name, result] : own) {
        if (result == EMV_CHECK_FAILED)
            failed += (failed.empty() ? "" : ", ") + std::string(name);
    }
    if (failed.empty())
        return;
    sdad["valid"] = false;
    sdad["reason"] = "fDDA check failed: " + failed;
}

void add_fdda_text(std::string& text, const Json& doc)
{
    if (!doc.contains("fdda"))
        return;
    const Json& f = doc["fdda"];
    text += "fDDA:\n";
    add_line(text, "  Unpredictable number", shown(f["unpredictable_number"]));
    add_line(text, "  Amount", shown(f["amount"]));
    add_line(text, "  Currency", shown(f["currency"]));
    add_decoded(text, "  Card authentication data", 0x9F69, f["card_authentication_data"]);
    add_decoded(text, "  CTQ", 0x9F6C, f["ctq"]);
    add_line(text, "  Signed data format",
             f["format"].is_null() ? "not recovered" : text_value(f["format"]));
    const Json& c = f["checks"];
    add_line(text, "  Check hash", check_text(c["hash"]));
    add_line(text, "  Check format", check_text(c["format"]));
    add_line(text, "  Check version", check_text(c["version"]));
    add_line(text, "  Check card data length", check_text(c["card_data_length"]));
    add_line(text, "  Check dynamic number is the ATC", check_text(c["dynamic_number_atc"]));
}

void add_fdda_outcome_text(std::string& text, const Json& doc)
{
    if (!doc.contains("fdda") || text_value(doc["result"]) != "failed")
        return;
    const Json& action = doc["fdda"]["failure_action"];
    add_line(text, "On failure",
             action.is_null() ? "decline (the card returns no CTQ 9F6C: the default)"
                              : text_value(action));
}
