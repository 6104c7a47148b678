// What oda prints of the diagnosis of a failed check (emv/emv_oda_diagnose.h):
// JSON `diagnosis` (null when there is none): step, check, tried, cut and
// matches, each with its variants, a sentence, and afl, elements, length,
// rid, index where they apply; in text, the Diagnosis section that ends the
// output.
#pragma once

#include <string>

#include "cli/output.h"
#include "emv/emv_oda_diagnose.h"

Json diagnosis_json(const EmvOdaCard& card, const EmvOdaResult& result, const EmvCaKey* ca_key,
                    const EmvOdaDiagnosis& diagnosis);

// The Diagnosis section of a document holding `diagnosis`; empty when it is
// null or absent.
std::string diagnosis_text(const Json& doc);
