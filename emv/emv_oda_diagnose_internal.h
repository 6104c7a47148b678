// Pieces the diagnosis's searches share. Not part of the library's
// interface: emv_oda_diagnose.h is.
#pragma once

#include <cstdint>

#include "crypto/sha1/sha1.h"
#include "emv/emv_oda_diagnose.h"

// One check's search: the SHA-1 state after everything the signer hashed
// before the varied data, and the hash the block holds.
struct EmvDiagnosisSearch {
    Sha1Context base;
    const uint8_t* recovered_hash;  // kSha1DigestSize bytes
    EmvOdaDiagnosis* out;
};

// A match with only the variants set (no counts, elements, length or key).
EmvDiagnosisMatch emv_diagnosis_match(uint32_t variants);

// Counts a try of the data ctx has hashed: when its digest is the
// recovered hash, the match is added. ctx is finished on a copy.
bool emv_diagnosis_try(const EmvDiagnosisSearch* search, const Sha1Context* ctx,
                       const EmvDiagnosisMatch* match);

// SHA-1 of a part that may be not given (then nothing is hashed).
void emv_diagnosis_hash(Sha1Context* ctx, EmvBytes part);

// The static data variants (ssad, icc): every way of building the static
// data listed in emv_oda_diagnose.h, the AFL's ODA record counts searched
// depth first with one SHA-1 state per prefix.
void emv_diagnose_static_data(const EmvOdaCard* card, const EmvDiagnosisSearch* search);
