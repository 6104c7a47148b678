// The diagnosis of a failed ODA check, as JSON and as the text's last
// section: each match told as one sentence a payment engineer reads.

#include "cli/oda_diagnosis_report.h"

#include <cstring>
#include <vector>

namespace {

const char* const kNothingMatched =
    "Nothing matched: the card signed other data than the trace holds (a record changed after "
    "personalisation, a different card, a transmission error)";

std::vector<std::string> variant_names(uint32_t variants)
{
    std::vector<std::string> names;
    for (int bit = 0; bit < kEmvVariantBits; ++bit) {
        if ((variants & (1u << bit)) != 0)
            names.push_back(emv_variant_name(1u << bit));
    }
    return names;
}

std::string record_name(uint8_t sfi, int number)
{
    return "SFI " + std::to_string(sfi) + " record " + std::to_string(number);
}

std::string join(const std::vector<std::string>& parts, const char* between)
{
    std::string text;
    for (const std::string& p : parts)
        text += (text.empty() ? "" : between) + p;
    return text;
}

// The ODA records of the match's counts (the AFL's own without them) in
// SFI 1-10 (low) or 11-30.
std::string records_of(const EmvOdaCard& card, const EmvDiagnosisMatch& m, bool low)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < card.afl_count; ++i) {
        const EmvAflEntry& e = card.afl_entries[i];
        const int count = m.has_counts ? m.oda_counts[i] : e.oda_records;
        for (int n = e.first; n < e.first + count && (e.sfi <= 10) == low; ++n)
            names.push_back(record_name(e.sfi, n));
    }
    return join(names, ", ");
}

// The records read twice whose last answer differs from the first.
std::string later_records(const EmvOdaCard& card)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < card.record_count; ++i) {
        const EmvOdaRecord& r = card.records[i];
        if (r.oda && r.later.length >= 0 &&
            (r.later.length != r.data.length ||
             memcmp(r.later.data, r.data.data, static_cast<size_t>(r.data.length)) != 0))
            names.push_back(record_name(r.sfi, r.number));
    }
    return join(names, ", ");
}

std::string counts_text(const EmvOdaCard& card, const uint8_t* counts, bool own)
{
    std::vector<std::string> parts;
    for (int32_t i = 0; i < card.afl_count; ++i)
        parts.push_back(std::to_string(own ? card.afl_entries[i].oda_records : counts[i]));
    return join(parts, ", ");
}

std::string afl_hex(const EmvOdaCard& card, const uint8_t* counts)
{
    std::string text;
    for (int32_t i = 0; i < card.afl_count; ++i) {
        const EmvAflEntry& e = card.afl_entries[i];
        const uint8_t entry[4] = {static_cast<uint8_t>(e.sfi << 3), e.first, e.last, counts[i]};
        text += hex_text(entry, 4);
    }
    return text;
}

// What the static data was, told clause by clause.
std::string static_data_object(const EmvOdaCard& card, const EmvDiagnosisMatch& m)
{
    std::vector<std::string> clauses;
    const uint32_t v = m.variants;
    if (v & EMV_VARIANT_ODA_COUNTS)
        clauses.push_back("ODA record counts " + counts_text(card, m.oda_counts, false) +
                          " in the AFL's entries (AFL " + afl_hex(card, m.oda_counts) +
                          ") instead of " + counts_text(card, nullptr, true));
    if (v & EMV_VARIANT_RECORDS_WITH_TEMPLATE)
        clauses.push_back(records_of(card, m, true) + " taken whole, 70 tag and length included");
    if (v & EMV_VARIANT_RECORDS_WITHOUT_TEMPLATE)
        clauses.push_back(records_of(card, m, false) +
                          " taken as the value inside the 70 template, not whole");
    if (v & EMV_VARIANT_WITHOUT_TAG_LIST)
        clauses.push_back("the values 9F4A lists (the AIP) left out");
    if (v & EMV_VARIANT_WITH_AIP)
        clauses.push_back("the AIP appended although the card returned no 9F4A");
    if (v & EMV_VARIANT_LATER_ANSWER)
        clauses.push_back("the later answer of " + later_records(card) + ", read twice");
    if (v & EMV_VARIANT_AFL_SORTED)
        clauses.push_back("the records in ascending SFI and record order, not in AFL order");
    return "the static data with " + join(clauses, " and ");
}

std::string key_cert_object(const EmvDiagnosisMatch& m, bool icc, const EmvOdaCard& card)
{
    std::vector<std::string> clauses;
    if (m.variants & EMV_VARIANT_WITHOUT_REMAINDER)
        clauses.push_back(std::string("the remainder (") + (icc ? "9F48" : "92") + ") left out");
    if (m.variants & EMV_VARIANT_OTHER_EXPONENT) {
        const EmvBytes e = emv_oda_object(&card, icc ? 0x9F47 : 0x9F32);
        const bool three = e.length == 1;
        clauses.push_back(std::string("the exponent ") + (three ? "010001" : "03") +
                          " instead of the card's " + (three ? "03" : "010001"));
    }
    return std::string("its data with ") + join(clauses, " and ");
}

std::string transaction_data_object(const EmvDiagnosisMatch& m)
{
    std::vector<std::string> clauses;
    if (m.variants & EMV_VARIANT_WITHOUT_PDOL_DATA)
        clauses.push_back("the PDOL data left out");
    if (m.variants & EMV_VARIANT_WITH_PDOL_TEMPLATE)
        clauses.push_back("the GET PROCESSING OPTIONS data as sent, 83 tag and length included");
    if (m.variants & EMV_VARIANT_WITHOUT_CDOL1_DATA)
        clauses.push_back("the CDOL1 data left out");
    return "the transaction data with " + join(clauses, " and ");
}

std::string dynamic_data_object(const EmvDiagnosisMatch& m)
{
    if (m.variants & EMV_VARIANT_DDOL_ELEMENTS) {
        const std::string bytes = std::to_string(m.length) + " bytes";
        return m.elements >= 0 ? "the DDOL data cut to its first " + std::to_string(m.elements) +
                                     " elements of 9F49 (" + bytes + ")"
                               : "the DDOL data cut to its first " + bytes;
    }
    if (m.variants & EMV_VARIANT_UNPREDICTABLE_NUMBER_FROM_PDOL)
        return "the unpredictable number of the PDOL data instead of the CDOL1 data's";
    if (m.variants & EMV_VARIANT_WITHOUT_CARD_DATA)
        return "the unpredictable number, amount and currency without the card's 9F69";
    if (m.variants & EMV_VARIANT_UNPREDICTABLE_NUMBER_ONLY)
        return "the unpredictable number alone, without amount, currency and 9F69";
    if (m.variants & EMV_VARIANT_CARD_DATA_FIRST)
        return "the card's 9F69 first, then the unpredictable number, amount and currency";
    return "the whole CDOL1 data instead of the unpredictable number";
}

std::string key_name(const uint8_t* rid, uint8_t index)
{
    return hex_text(rid, 5) + " " + hex_text(&index, 1);
}

std::string description(const EmvOdaCard& card, const EmvCaKey* ca_key, const EmvOdaDiagnosis& d,
                        const EmvDiagnosisMatch& m)
{
    if (m.has_key) {
        const std::string named = card.rid.length == 5 && card.ca_index.length == 1
                                      ? key_name(card.rid.data, card.ca_index.data[0])
                                      : "the card names";
        return "the issuer certificate opens with CA key " + key_name(m.rid, m.index) +
               (ca_key != nullptr ? ", not with the list's " + named
                                  : "; the list has no key " + named);
    }
    switch (d.step) {
        case EMV_ODA_STEP_ISSUER:
            return "the issuer certificate's hash matches " + key_cert_object(m, false, card);
        case EMV_ODA_STEP_ICC:
            return "the ICC certificate's hash matches " +
                   (m.variants & (EMV_VARIANT_WITHOUT_REMAINDER | EMV_VARIANT_OTHER_EXPONENT)
                        ? key_cert_object(m, true, card)
                        : static_data_object(card, m));
        case EMV_ODA_STEP_SSAD:
            return "the signed static data's hash matches " + static_data_object(card, m);
        case EMV_ODA_STEP_SDAD:
            return "the signed dynamic data's hash matches " + dynamic_data_object(m);
        default:
            return "the transaction data hash code matches " + transaction_data_object(m);
    }
}

Json match_json(const EmvOdaCard& card, const EmvCaKey* ca_key, const EmvOdaDiagnosis& d,
                const EmvDiagnosisMatch& m)
{
    Json doc;
    doc["variants"] = variant_names(m.variants);
    doc["description"] = description(card, ca_key, d, m);
    if (m.has_counts)
        doc["afl"] = afl_hex(card, m.oda_counts);
    if (m.variants & EMV_VARIANT_DDOL_ELEMENTS) {
        doc["elements"] = m.elements >= 0 ? Json(m.elements) : Json(nullptr);
        doc["length"] = m.length;
    }
    if (m.has_key) {
        doc["rid"] = hex_text(m.rid, 5);
        doc["index"] = hex_text(&m.index, 1);
    }
    return doc;
}

}  // namespace

Json diagnosis_json(const EmvOdaCard& card, const EmvOdaResult&, const EmvCaKey* ca_key,
                    const EmvOdaDiagnosis& d)
{
    if (!d.made)
        return nullptr;
    Json doc;
    doc["step"] = emv_oda_step_name(d.step);
    doc["check"] = emv_diagnosis_check_name(d.check);
    doc["tried"] = d.tried;
    doc["cut"] = d.cut;
    doc["matches"] = Json::array();
    const int32_t kept =
        d.match_count < kEmvDiagnosisMaxMatches ? d.match_count : kEmvDiagnosisMaxMatches;
    for (int32_t i = 0; i < kept; ++i)
        doc["matches"].push_back(match_json(card, ca_key, d, d.matches[i]));
    return doc;
}

std::string diagnosis_text(const Json& doc)
{
    if (!doc.contains("diagnosis") || doc["diagnosis"].is_null())
        return "";
    const Json& d = doc["diagnosis"];
    std::string text = "Diagnosis:\n";
    add_line(text, "  Failed check", text_value(d["step"]) + " " + text_value(d["check"]));
    add_line(text, "  Variants tried",
             text_value(d["tried"]) +
                 (d["cut"].get<bool>()
                      ? " (a search over ODA record counts stopped at its limit of " +
                            std::to_string(kEmvDiagnosisMaxCombinations) + " combinations)"
                      : std::string()));
    for (const Json& m : d["matches"])
        add_line(text, "  Match", text_value(m["description"]));
    if (d["matches"].empty())
        text += "  " + std::string(kNothingMatched) + "\n";
    return text;
}
