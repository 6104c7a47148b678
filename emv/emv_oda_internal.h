// Pieces shared by the ODA collection and authentication. Not part of the
// library's interface: emv_oda_card.h and emv_oda.h are.
#pragma once

#include <cstdint>

#include "emv/emv_apdu.h"
#include "emv/emv_oda.h"

constexpr EmvBytes kEmvNotGiven = {nullptr, -1};

// Records an error of the exchange at line (counted always, kept while
// there is room).
void emv_oda_error(EmvOdaCard* card, EmvOdaErrorKind kind, int32_t line, EmvTlvError tlv);

// Checks that data is well-formed BER-TLV; records EMV_ODA_ERROR_NOT_TLV
// with line otherwise.
bool emv_oda_tlv_ok(EmvOdaCard* card, EmvBytes data, int32_t line);

// Adds every primitive object of data (well-formed) not yet known, each
// with line; EMV_ODA_ERROR_TOO_MANY_OBJECTS when the card is full.
void emv_oda_add_objects(EmvOdaCard* card, EmvBytes data, int32_t line);

// The value of the first object with the tag in data, or not given.
EmvBytes emv_oda_find_value(EmvBytes data, uint32_t tag);

// One exchange of the transaction, read into the card.
void emv_oda_take_select(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line);
void emv_oda_take_gpo(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line);
void emv_oda_take_record(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line);
void emv_oda_take_internal_auth(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                                int32_t line);
void emv_oda_take_generate_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                              int32_t line);

// After the exchanges: the AFL's entries, which records take part in ODA,
// the 8F and 5A shortcuts and the transaction date.
void emv_oda_finish_card(EmvOdaCard* card);

// Names a data object or record the method needs and the card lacks (once).
void emv_oda_add_missing(EmvOdaResult* result, EmvOdaMissing missing);

// CDA: the ICC dynamic data's layout, its CID against 9F27 and its
// transaction data hash code, into result->cda (the SDAD already
// recovered). True when every check passed.
bool emv_oda_check_cda(const EmvOdaCard* card, EmvOdaResult* result);

// The unpredictable number CDOL1 (8C) places in the GENERATE AC data, or
// not given.
EmvBytes emv_oda_unpredictable_number(const EmvOdaCard* card);

// fDDA (emv_oda_fdda.cpp). The 9F4B fDDA uses: the GET PROCESSING OPTIONS
// answer's, else the first record's that holds one; not given otherwise.
EmvBytes emv_oda_fdda_sdad(const EmvOdaCard* card);

// fDDA's data into result->fdda, the checks that need no signature made,
// and what fDDA needs and the card lacks named in missing.
void emv_oda_fdda_prepare(const EmvOdaCard* card, EmvOdaResult* result);

// fDDA's sdad step: 9F4B recovered with the ICC key (result->icc.key) and
// every check made. True when every check passed.
bool emv_oda_fdda_check(const EmvOdaCard* card, EmvOdaResult* result);

// After the steps: the reader's action when fDDA failed, from the CTQ.
void emv_oda_fdda_finish(EmvOdaResult* result);
