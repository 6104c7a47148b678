// What recover prints: the fields of a recovered block, the checks made on
// it and whether all of them passed.
//
// The JSON object lists header, format, hash_algorithm, the fields of the
// block's kind, hash, trailer, hash_ok (null when the hash was not checked),
// checks (only the checks made), valid (true, false, or null when not
// determined) and reason (when the verdict has one). The text lists the same
// fields as "Name: value" lines, then every check (passed, FAILED or not
// checked), and "Valid" last: yes, no, or not determined with its reason. A block that could not be
// recovered (signed data of the wrong length) shows its fields as null / "not recovered".
#pragma once

#include <string>

#include "cli/output.h"
#include "cli/verdict.h"
#include "emv/emv.h"

Json issuer_cert_json(const EmvIssuerCert& cert);
Json icc_cert_json(const EmvIccCert& cert);
Json ssad_json(const EmvSsad& ssad);
Json sdad_json(const EmvSdad& sdad);

// Completes doc, which holds the kind's fields, with the common fields, the
// checks and the verdict; with recovered false every field becomes null.
void finish_recover_json(Json& doc, const EmvRecoveredCommon& common, bool recovered,
                         const Verdict& verdict);

// The text form of a finished document.
std::string recover_text(const Json& doc);
