// fDDA's part of what oda prints: the terminal data the card signed, its
// card authentication related data, fDDA's own checks and the reader's
// action on failure.
//
// JSON (the fdda object, there whenever the method is fDDA):
// unpredictable_number, amount, currency, card_authentication_data, ctq,
// version, format, checks (hash, format, version, card_data_length,
// dynamic_number_atc: true, false, or null when not made), failure_action
// ("online", "try another interface", "decline", or null). Values the trace
// lacks are null; format is null until the signature is recovered.
#pragma once

#include <string>

#include "cli/output.h"
#include "emv/emv_oda.h"

Json fdda_json(const EmvFddaResult& fdda);

// The sdad step object of fDDA is valid only when fDDA's own checks pass
// too: valid false, and the reason names the ones that failed.
void finish_fdda_sdad(Json& sdad, const EmvFddaResult& fdda);

// The fdda object of an oda document as text (nothing without one).
void add_fdda_text(std::string& text, const Json& doc);

// "On failure: ..." when fDDA failed (nothing otherwise).
void add_fdda_outcome_text(std::string& text, const Json& doc);
