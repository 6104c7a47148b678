// The two output forms of offline data authentication.

#include "cli/oda_report.h"

#include <cstdio>
#include <utility>

#include "cli/hex_args.h"
#include "cli/oda_diagnosis_report.h"
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
        doc["records"].push_back(
            {{"sfi", r.sfi}, {"record", r.number}, {"oda", r.oda}, {"in_afl", r.in_afl}});
    }
    doc["records_not_kept"] = card.records_not_kept;
}

std::string place_text(const EmvObjectPlace& place)
{
    const std::string line = " (line " + std::to_string(place.line) + ")";
    if (place.source == EMV_SOURCE_RECORD)
        return "SFI " + std::to_string(place.sfi) + " record " + std::to_string(place.record) +
               line;
    return "the GET PROCESSING OPTIONS answer" + line;
}

std::string static_data_problem(const EmvOdaCard& card, const EmvOdaResult& result)
{
    std::string problem = emv_static_data_text(result.static_data_status);
    if (result.static_data_status == EMV_STATIC_DATA_REDUNDANT) {
        const EmvRedundantObject& r = card.redundant;
        char tag[16];
        snprintf(tag, sizeof tag, "%X", r.tag);
        problem += ": " + std::string(tag) + " in " + place_text(r.first) + " and in " +
                   place_text(r.second);
    } else if (result.static_data_sfi != 0) {
        problem += " (SFI " + std::to_string(result.static_data_sfi) + " record " +
                   std::to_string(result.static_data_record) + ")";
    }
    return problem;
}

void add_static_data(Json& doc, const EmvOdaCard& card, const EmvOdaResult& result)
{
    const bool ok = result.static_data_status == EMV_STATIC_DATA_OK;
    doc["static_data"] =
        ok ? Json(hex_text(result.static_data, static_cast<size_t>(result.static_data_length)))
           : Json(nullptr);
    doc["static_data_problem"] = ok ? Json(nullptr) : Json(static_data_problem(card, result));
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

Json check_or_null(EmvCheckResult r)
{
    return r == EMV_CHECK_NOT_MADE ? Json(nullptr) : Json(r == EMV_CHECK_PASSED);
}

// DDA's checks of the INTERNAL AUTHENTICATE exchange join the SDAD's: any
// of them failed fails it.
void add_dda_checks(Json& sdad, const EmvDdaChecks& k)
{
    const std::pair<const char*, EmvCheckResult> checks[] = {
        {"response_template", k.response_template},
        {"ddol_unpredictable_number", k.ddol_unpredictable_number},
        {"ddol_data_length", k.ddol_data_length},
    };
    for (const auto& [name, result] : checks) {
        sdad["checks"][name] = check_or_null(result);
        if (result == EMV_CHECK_FAILED)
            sdad["valid"] = false;
    }
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
    checks["response_template"] = check_or_null(cda.response_template);
    checks["cid"] = check_or_null(cda.cid_check);
    checks["transaction_data_hash"] = check_or_null(cda.transaction_data_hash_check);
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
    if (r.sdad_made) {
        doc["sdad"] = step_json(r.sdad, r.sdad_status, sdad_json, context);
        if (r.method == EMV_ODA_DDA)
            add_dda_checks(doc["sdad"], r.sdad_checks);
    }
    if (r.cda_made)
        doc["cda"] = cda_json(r.cda);
    doc["sdad_second"] = r.sdad_second_made
                             ? step_json(r.sdad_second, r.sdad_second_status, sdad_json, context)
                             : Json(nullptr);
    doc["cda_second"] = r.cda_second_made ? cda_json(r.cda_second) : Json(nullptr);
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
                (!r["in_afl"].get<bool>() ? ": not in the AFL, not used\n"
                 : r["oda"].get<bool>()   ? ": for ODA\n"
                                          : ": not for ODA\n");
    }
    if (doc["records_not_kept"].get<int>() > 0) {
        text += "  and " + text_value(doc["records_not_kept"]) +
                " more records the AFL does not list, not used\n";
    }
    add_line(text, "Static data",
             doc["static_data"].is_null() ? "not built: " + text_value(doc["static_data_problem"])
                                          : text_value(doc["static_data"]));
    add_line(text, "Date", text_value(doc["date"]) + " (" + text_value(doc["date_source"]) + ")");
}

void add_recover_step(std::string& text, const Json& doc, const char* key, const char* title)
{
    if (!doc.contains(key) || doc[key].is_null())
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

void add_cda_text(std::string& text, const Json& doc, const char* key, const char* title)
{
    if (!doc.contains(key) || doc[key].is_null())
        return;
    const Json& cda = doc[key];
    text += std::string(title) + ":\n";
    add_line(text, "  ICC dynamic number", shown(cda["icc_dynamic_number"]));
    add_line(text, "  CID", shown(cda["cid"]));
    add_line(text, "  Application cryptogram", shown(cda["application_cryptogram"]));
    add_line(text, "  Transaction data hash", shown(cda["transaction_data_hash"]));
    add_line(text, "  Unpredictable number", shown(cda["unpredictable_number"]));
    const auto check = [](const Json& v) {
        return v.is_null() ? "not checked" : v.get<bool>() ? "passed" : "FAILED";
    };
    add_line(text, "  Check response template", check(cda["checks"]["response_template"]));
    add_line(text, "  Check CID", check(cda["checks"]["cid"]));
    add_line(text, "  Check transaction data hash", check(cda["checks"]["transaction_data_hash"]));
}

// DDA without the card's DDOL: the terminal's default one is used, which
// the trace does not show, so the DDOL checks are not made.
void add_ddol_note(std::string& text, const Json& doc)
{
    if (doc["method"] != "DDA" || !doc.contains("sdad") || doc["sdad"].is_null())
        return;
    if (doc["sdad"]["checks"]["ddol_unpredictable_number"].is_null())
        text += "  The card has no DDOL (9F49): the terminal's default DDOL applies, which the "
                "trace does not show; the DDOL checks are not made.\n";
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
    add_static_data(doc, card, result);
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
    add_ddol_note(text, doc);
    add_cda_text(text, doc, "cda", "Combined DDA/AC");
    add_recover_step(text, doc, "sdad_second", "Signed dynamic data of the second GENERATE AC");
    add_cda_text(text, doc, "cda_second", "Combined DDA/AC of the second GENERATE AC");
    add_fdda_text(text, doc);
    add_line(text, "Method", doc["method"].is_null() ? "none" : text_value(doc["method"]));
    add_line(text, "Result", text_value(doc["result"]));
    add_line(text, "Failed step",
             doc["failed_step"].is_null() ? "none" : text_value(doc["failed_step"]));
    if (!doc["missing"].empty())
        add_line(text, "Missing", missing_text(doc["missing"]));
    add_line(text, "TVR", text_value(doc["tvr"]));
    add_fdda_outcome_text(text, doc);
    return text + diagnosis_text(doc);
}
