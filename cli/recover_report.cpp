// The two output forms of recovered EMV data.

#include "cli/recover_report.h"

#include <utility>

namespace {

struct CheckRow {
    const char* name;
    EmvCheckResult EmvChecks::*result;
    const char* label;
};

const CheckRow kChecks[] = {
    {"length", &EmvChecks::length, "Check length"},
    {"header", &EmvChecks::header, "Check header"},
    {"trailer", &EmvChecks::trailer, "Check trailer"},
    {"format", &EmvChecks::format, "Check format"},
    {"hash_algorithm", &EmvChecks::hash_algorithm, "Check hash algorithm"},
    {"pk_algorithm", &EmvChecks::pk_algorithm, "Check PK algorithm"},
    {"key_length", &EmvChecks::key_length, "Check key length"},
    {"hash", &EmvChecks::hash, "Check hash"},
    {"expiry", &EmvChecks::expiry, "Check expiry"},
    {"pan", &EmvChecks::pan, "Check PAN"},
    {"pan_form", &EmvChecks::pan_form, "Check PAN form"},
    {"dynamic_data_length", &EmvChecks::dynamic_data_length, "Check dynamic data length"},
};

// Checks a caller adds beside the block's own (ODA's checks of the exchange
// that carried it), shown when present; null is "not checked".
const std::pair<const char*, const char*> kExchangeChecks[] = {
    {"response_template", "Check response template"},
    {"ddol_unpredictable_number", "Check DDOL unpredictable number"},
    {"ddol_data_length", "Check DDOL data length"},
};

struct FieldLabel {
    const char* name;
    const char* label;
};

const FieldLabel kFieldLabels[] = {
    {"header", "Header"},
    {"format", "Format"},
    {"hash_algorithm", "Hash algorithm"},
    {"issuer_identifier", "Issuer identifier"},
    {"pan", "PAN"},
    {"expiry", "Expiry"},
    {"serial", "Serial"},
    {"pk_algorithm", "PK algorithm"},
    {"pk_length", "PK length"},
    {"pk_exponent_length", "PK exponent length"},
    {"modulus", "Modulus"},
    {"exponent", "Exponent"},
    {"data_authentication_code", "Data authentication code"},
    {"icc_dynamic_data", "ICC dynamic data"},
    {"hash", "Hash"},
    {"trailer", "Trailer"},
};

Json byte_json(uint8_t byte)
{
    return hex_text(&byte, 1);
}

Json check_json(EmvCheckResult result)
{
    if (result == EMV_CHECK_NOT_MADE)
        return nullptr;
    return result == EMV_CHECK_PASSED;
}

// The fields of a key certificate: its identifier (issuer) or PAN (ICC)
// under id_name, then the certified key's.
template <typename Cert, size_t kIdLength>
Json key_cert_json(const Cert& cert, const char* id_name, const uint8_t (&id)[kIdLength])
{
    Json doc;
    doc[id_name] = hex_text(id, kIdLength);
    doc["expiry"] = hex_text(cert.expiry, sizeof cert.expiry);
    doc["serial"] = hex_text(cert.serial, sizeof cert.serial);
    doc["pk_algorithm"] = byte_json(cert.pk_algorithm);
    doc["pk_length"] = cert.pk_length;
    doc["pk_exponent_length"] = cert.pk_exponent_length;
    // A key that cannot be put together (no or a wrong remainder) is not shown
    // in part.
    const EmvPublicKey& key = cert.key;
    if (key.modulus_length > 0) {
        doc["modulus"] = hex_text(key.modulus, static_cast<size_t>(key.modulus_length));
    } else {
        doc["modulus"] = nullptr;
    }
    doc["exponent"] = hex_text(key.exponent, static_cast<size_t>(key.exponent_length));
    return doc;
}

std::string label_of(const std::string& name)
{
    for (const FieldLabel& f : kFieldLabels) {
        if (name == f.name)
            return f.label;
    }
    return name;
}

}  // namespace

Json issuer_cert_json(const EmvIssuerCert& cert)
{
    return key_cert_json(cert, "issuer_identifier", cert.issuer_identifier);
}

Json icc_cert_json(const EmvIccCert& cert)
{
    return key_cert_json(cert, "pan", cert.pan);
}

Json ssad_json(const EmvSsad& ssad)
{
    Json doc;
    doc["data_authentication_code"] =
        hex_text(ssad.data_authentication_code, sizeof ssad.data_authentication_code);
    return doc;
}

Json sdad_json(const EmvSdad& sdad)
{
    Json doc;
    doc["icc_dynamic_data"] = hex_text(sdad.icc_dynamic_data, sdad.icc_dynamic_data_length);
    return doc;
}

void finish_recover_json(Json& doc, const EmvRecoveredCommon& common, bool recovered,
                         const Verdict& verdict)
{
    Json full;
    full["header"] = byte_json(common.header);
    full["format"] = byte_json(common.format);
    full["hash_algorithm"] = byte_json(common.hash_algorithm);
    for (auto& field : doc.items())
        full[field.key()] = field.value();
    full["hash"] = hex_text(common.hash, sizeof common.hash);
    full["trailer"] = byte_json(common.trailer);
    if (!recovered) {
        for (auto& field : full.items())
            field.value() = nullptr;
    }
    full["hash_ok"] = check_json(common.checks.hash);
    Json checks = Json::object();
    for (const CheckRow& row : kChecks) {
        const Json value = check_json(common.checks.*row.result);
        if (!value.is_null())
            checks[row.name] = value;
    }
    full["checks"] = checks;
    add_verdict_json(full, verdict);
    doc = full;
}

std::string recover_text(const Json& doc)
{
    std::string text;
    for (const auto& field : doc.items()) {
        const std::string& name = field.key();
        if (name == "hash_ok" || name == "checks" || name == "valid" || name == "reason")
            continue;
        add_line(text, label_of(name),
                 field.value().is_null() ? "not recovered" : text_value(field.value()));
    }
    const Json& checks = doc["checks"];
    for (const CheckRow& row : kChecks) {
        const std::string result = !checks.contains(row.name)     ? "not checked"
                                   : checks[row.name].get<bool>() ? "passed"
                                                                  : "FAILED";
        add_line(text, row.label, result);
    }
    for (const auto& [name, label] : kExchangeChecks) {
        if (checks.contains(name))
            add_line(text, label,
                     checks[name].is_null()     ? "not checked"
                     : checks[name].get<bool>() ? "passed"
                                                : "FAILED");
    }
    add_line(text, "Valid", verdict_text(doc));
    return text;
}
