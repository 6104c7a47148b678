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
// with the place's line; EMV_ODA_ERROR_TOO_MANY_OBJECTS when the card is
// full. An object ODA uses that the GET PROCESSING OPTIONS answer and the
// AFL's records return twice is the card's redundancy.
void emv_oda_add_objects(EmvOdaCard* card, EmvBytes data, const EmvObjectPlace* place);

// The AFL's entries from card->afl (afl_count, afl_well_formed).
void emv_oda_read_afl(EmvOdaCard* card);

// Whether the AFL lists the record, and marks it for ODA (in_afl, oda).
void emv_oda_place_record(const EmvOdaCard* card, EmvOdaRecord* record);

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
void emv_oda_take_second_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                            int32_t line);

// After the exchanges: the 8F and 5A shortcuts and the transaction date.
void emv_oda_finish_card(EmvOdaCard* card);

// A static data status a terminal meets while it reads the card (no AFL, a
// malformed GET PROCESSING OPTIONS answer or AFL, a redundant object): ODA
// fails at static_data before any other step.
bool emv_static_data_read_failed(EmvStaticDataStatus status);

// Names a data object or record the method needs and the card lacks (once).
void emv_oda_add_missing(EmvOdaResult* result, EmvOdaMissing missing);

// The first GENERATE AC of the card, as the second is kept.
EmvGenerateAc emv_oda_first_ac(const EmvOdaCard* card);

// CDA: the answer's template, the ICC dynamic data's layout, its CID
// against 9F27 and its transaction data hash code (over the CDOL2 data too
// for the second GENERATE AC; not given for the first), into cda, the SDAD
// already recovered. True when every check passed.
bool emv_oda_check_cda(const EmvOdaCard* card, const EmvGenerateAc* ac, EmvBytes cdol2_data,
                       const EmvSdad* sdad, EmvCdaResult* cda);

// The unpredictable number a DOL (8C, 8D) places in its data, or not given.
EmvBytes emv_oda_unpredictable_number(const EmvOdaCard* card, uint32_t dol_tag, EmvBytes data);

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
