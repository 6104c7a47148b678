// The two output forms of offline data authentication.

#include "cli/oda_report.h"

#include <cstdio>

#include "cli/hex_args.h"
#include "cli/oda_fdda_report.h"
#include "cli/recover_report.h"
#include "cli/tlv_decoded.h"

namespace {

Json bytes_json(EmvBytes bytes)
{
    if (bytes.data == nullptr && bytes.length < 0)
        return nullptr;
    return hex_text(bytes.data, static_cast<size_t>(bytes.length < 0 ? 0 : bytes.length));
}

Json name_json(const char* name)
{
    return name != nullptr ? Json(name) : Json(nullptr);
}

std::string date_text(const EmvDate& date)
{
    char text[16];
    snprintf(text, sizeof text, "%02d%02d%02d", date.year % 100, date.month, date.day);
    return text;
}

void add_card(Json& doc, const EmvOdaCard& card)
{
    doc["aid"] = bytes_json(card.aid);
    doc["rid"] = bytes_json(card.rid);
    doc["ca_index"] = bytes_json(card.ca_index);
    doc["pan"] = bytes_json(card.pan);
    doc["aip"] = card.has_aip ? Json(hex_text(card.aip, 2)) : Json(nullptr);
    doc["afl"] = Json::array();
    for (int32_t i = 0; i < card.afl_count; ++i) {
        const EmvAflEntry& e = card.afl_entries[i];
        doc["afl"].push_back(
            {{"sfi", e.sfi}, {"first", e.first}, {"last", e.last}, {"oda_records", e.oda_records}});
    }
    doc["records"] = Json::array();
    for (int32_t i = 0; i < card.record_count; ++i) {
        const EmvOdaRecord& r = card.records[i];
        doc["records"].push_back({{"sfi", r.sfi}, {"record", r.number}, {"oda", r.oda}});
    }
}

void add_static_data(Json& doc, const EmvOdaResult& result)
{
    const bool ok = result.static_data_status == EMV_STATIC_DATA_OK;
    doc["static_data"] =
        ok ? Json(hex_text(result.static_data, static_cast<size_t>(result.static_data_length)))
           : Json(nullptr);
    std::string problem;
    if (!ok) {
        problem = emv_static_data_text(result.static_data_status);
        if (result.static_data_sfi != 0) {
            problem += " (SFI " + std::to_string(result.static_data_sfi) + " record " +
                       std::to_string(result.static_data_record) + ")";
        }
    }
    doc["static_data_problem"] = ok ? Json(nullptr) : Json(problem);
}

void add_outcome(Json& doc, const EmvOdaResult& result)
{
    doc["method"] = name_json(emv_oda_method_name(result.method));
    doc["result"] = emv_oda_outcome_name(result.outcome);
    doc["failed_step"] = name_json(emv_oda_step_name(result.failed_step));
    doc["tvr"] = hex_text(result.tvr, sizeof result.tvr);
    doc["missing"] = Json::array();
    const int32_t kept =
        result.missing_count < kEmvOdaMaxMissing ? result.missing_count : kEmvOdaMaxMissing;
    for (int32_t i = 0; i < kept; ++i) {
        char text[16];
        emv_oda_missing_text(&result.missing[i], text, sizeof text);
        doc["missing"].push_back(text);
    }
}

// One recovery step as recover --json gives it, with its verdict: every
// hash of ODA has its data, so only a today that could not be had leaves
// one undetermined.
template <typename Block>
Json step_json(const Block& block, EmvRecoverStatus status, Json (*to_json)(const Block&),
               const VerdictContext& context)
{
    Json doc = to_json(block);
    finish_recover_json(doc, block.common, status == EMV_RECOVER_OK,
                        emv_verdict(block.common.checks, context));
    return doc;
}

Json cda_json(const EmvCdaResult& cda)
{
    const bool laid_out = cda.icc_dynamic_number_length > 0;
    Json doc;
    doc["icc_dynamic_number"] =
        laid_out ? Json(hex_text(cda.icc_dynamic_number,
                                 static_cast<size_t>(cda.icc_dynamic_number_length)))
                 : Json(nullptr);
    doc["cid"] = laid_out ? Json(hex_text(&cda.cid, 1)) : Json(nullptr);
    doc["application_cryptogram"] =
        laid_out ? Json(hex_text(cda.application_cryptogram, sizeof cda.application_cryptogram))
                 : Json(nullptr);
    doc["transaction_data_hash"] =
        laid_out ? Json(hex_text(cda.transaction_data_hash, sizeof cda.transaction_data_hash))
                 : Json(nullptr);
    doc["unpredictable_number"] =
        cda.unpredictable_number_length < 0
            ? Json(nullptr)
            : Json(hex_text(cda.unpredictable_number,
                            static_cast<size_t>(cda.unpredictable_number_length)));
    Json checks = Json::object();
    const auto check = [](EmvCheckResult r) {
        return r == EMV_CHECK_NOT_MADE ? Json(nullptr) : Json(r == EMV_CHECK_PASSED);
    };
    checks["cid"] = check(cda.cid_check);
    checks["transaction_data_hash"] = check(cda.transaction_data_hash_check);
    doc["checks"] = checks;
    return doc;
}

void add_steps(Json& doc, const EmvOdaResult& r, const OdaDate& date)
{
    VerdictContext context;
    context.today_unknown = std::string(date.source) == "today" && !emv_date_valid(date.date);
    if (r.issuer_made)
        doc["issuer"] = step_json(r.issuer, r.issuer_status, issuer_cert_json, context);
    if (r.icc_made)
        doc["icc"] = step_json(r.icc, r.icc_status, icc_cert_json, context);
    if (r.ssad_made)
        doc["ssad"] = step_json(r.ssad, r.ssad_status, ssad_json, context);
    if (r.sdad_made)
        doc["sdad"] = step_json(r.sdad, r.sdad_status, sdad_json, context);
    if (r.cda_made)
        doc["cda"] = cda_json(r.cda);
    if (r.method == EMV_ODA_FDDA) {
        doc["fdda"] = fdda_json(r.fdda);
        if (r.sdad_made)
            finish_fdda_sdad(doc["sdad"], r.fdda);
    }
}

// --- Text -----------------------------------------------------------------

std::string shown(const Json& value)
{
    return value.is_null() ? "not in the trace" : text_value(value);
}

std::string aip_line(const Json& aip)
{
    if (aip.is_null())
        return shown(aip);
    const std::vector<uint8_t> bytes = parse_hex_arg("aip", aip.get<std::string>());
    return aip.get<std::string>() + " (ODA methods supported: " + aip_methods(bytes.data()) + ")";
}

void add_card_text(std::string& text, const Json& doc)
{
    add_line(text, "AID", shown(doc["aid"]));
    add_line(text, "RID", shown(doc["rid"]));
    add_line(text, "CA index", shown(doc["ca_index"]));
    add_line(text, "PAN", shown(doc["pan"]));
    add_line(text, "AIP", aip_line(doc["aip"]));
    text += doc["afl"].empty() ? "AFL: not in the trace\n" : "AFL:\n";
    for (const Json& e : doc["afl"]) {
        text += "  " + afl_entry_text(e["sfi"], e["first"], e["last"], e["oda_records"]) + "\n";
    }
    text += doc["records"].empty() ? "Records: none read\n" : "Records:\n";
    for (const Json& r : doc["records"]) {
        text += "  SFI " + text_value(r["sfi"]) + " record " + text_value(r["record"]) +
                (r["oda"].get<bool>() ? ": for ODA\n" : ": not for ODA\n");
    }
    add_line(text, "Static data",
             doc["static_data"].is_null() ? "not built: " + text_value(doc["static_data_problem"])
                                          : text_value(doc["static_data"]));
    add_line(text, "Date", text_value(doc["date"]) + " (" + text_value(doc["date_source"]) + ")");
}

void add_recover_step(std::string& text, const Json& doc, const char* key, const char* title)
{
    if (!doc.contains(key))
        return;
    text += std::string(title) + ":\n";
    const std::string body = recover_text(doc[key]);
    size_t start = 0;
    while (start < body.size()) {
        const size_t end = body.find('\n', start);
        text += "  " + body.substr(start, end - start + 1);
        start = end + 1;
    }
}

void add_cda_text(std::string& text, const Json& doc)
{
    if (!doc.contains("cda"))
        return;
    const Json& cda = doc["cda"];
    text += "Combined DDA/AC:\n";
    add_line(text, "  ICC dynamic number", shown(cda["icc_dynamic_number"]));
    add_line(text, "  CID", shown(cda["cid"]));
    add_line(text, "  Application cryptogram", shown(cda["application_cryptogram"]));
    add_line(text, "  Transaction data hash", shown(cda["transaction_data_hash"]));
    add_line(text, "  Unpredictable number", shown(cda["unpredictable_number"]));
    const auto check = [](const Json& v) {
        return v.is_null() ? "not checked" : v.get<bool>() ? "passed" : "FAILED";
    };
    add_line(text, "  Check CID", check(cda["checks"]["cid"]));
    add_line(text, "  Check transaction data hash", check(cda["checks"]["transaction_data_hash"]));
}

std::string missing_text(const Json& missing)
{
    std::string text;
    for (const Json& m : missing)
        text += (text.empty() ? "" : ", ") + m.get<std::string>();
    return text;
}

}  // namespace

Json oda_json(const EmvOdaCard& card, const EmvOdaResult& result, const OdaDate& date)
{
    Json doc;
    add_card(doc, card);
    add_static_data(doc, result);
    doc["date"] = date_text(date.date);
    doc["date_source"] = date.source;
    add_outcome(doc, result);
    add_steps(doc, result, date);
    return doc;
}

std::string oda_text(const Json& doc)
{
    std::string text;
    add_card_text(text, doc);
    add_recover_step(text, doc, "issuer", "Issuer certificate");
    add_recover_step(text, doc, "icc", "ICC certificate");
    add_recover_step(text, doc, "ssad", "Signed static data");
    add_recover_step(text, doc, "sdad", "Signed dynamic data");
    add_cda_text(text, doc);
    add_fdda_text(text, doc);
    add_line(text, "Method", doc["method"].is_null() ? "none" : text_value(doc["method"]));
    add_line(text, "Result", text_value(doc["result"]));
    add_line(text, "Failed step",
             doc["failed_step"].is_null() ? "none" : text_value(doc["failed_step"]));
    if (!doc["missing"].empty())
        add_line(text, "Missing", missing_text(doc["missing"]));
    add_line(text, "TVR", text_value(doc["tvr"]));
    add_fdda_outcome_text(text, doc);
    return text;
}
