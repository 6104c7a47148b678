// Names of the ODA outcome's values, as reports show them.
#include <cstdio>

#include "emv/emv_oda.h"

const char* emv_oda_method_name(EmvOdaMethod method)
{
    switch (method) {
        case EMV_ODA_SDA:
            return "SDA";
        case EMV_ODA_DDA:
            return "DDA";
        case EMV_ODA_CDA:
            return "CDA";
        case EMV_ODA_FDDA:
            return "fDDA";
        default:
            return nullptr;
    }
}

const char* emv_fdda_action_name(EmvFddaAction action)
{
    switch (action) {
        case EMV_FDDA_ACTION_ONLINE:
            return "online";
        case EMV_FDDA_ACTION_OTHER_INTERFACE:
            return "try another interface";
        case EMV_FDDA_ACTION_DECLINE:
            return "decline";
        default:
            return nullptr;
    }
}

const char* emv_oda_outcome_name(EmvOdaOutcome outcome)
{
    switch (outcome) {
        case EMV_ODA_PASSED:
            return "passed";
        case EMV_ODA_FAILED:
            return "failed";
        default:
            return "not performed";
    }
}

const char* emv_oda_step_name(EmvOdaStep step)
{
    static const char* const kNames[] = {nullptr, "ca_key", "issuer", "static_data",
                                         "ssad",  "icc",    "sdad",   "cda"};
    return step < sizeof kNames / sizeof kNames[0] ? kNames[step] : nullptr;
}

void emv_oda_missing_text(const EmvOdaMissing* missing, char* out, int32_t capacity)
{
    if (out == nullptr || capacity <= 0) {
        return;
    }
    if (missing->tag != 0) {
        snprintf(out, (size_t)capacity, "%02X", (unsigned)missing->tag);
    } else {
        snprintf(out, (size_t)capacity, "SFI %u record %u", (unsigned)missing->sfi,
                 (unsigned)missing->record);
    }
}

const char* emv_static_data_text(EmvStaticDataStatus status)
{
    switch (status) {
        case EMV_STATIC_DATA_OK:
            return "built";
        case EMV_STATIC_DATA_NO_AFL:
            return "no AFL";
        case EMV_STATIC_DATA_BAD_AFL:
            return "AFL not well-formed";
        case EMV_STATIC_DATA_RECORD_MISSING:
            return "a record the AFL marks was not read";
        case EMV_STATIC_DATA_NOT_70:
            return "an ODA record does not start with a 70 template that fits it";
        case EMV_STATIC_DATA_BAD_TAG_LIST:
            return "9F4A lists a tag other than 82";
        case EMV_STATIC_DATA_NO_AIP:
            return "9F4A lists 82 and there is no AIP";
        case EMV_STATIC_DATA_TOO_LONG:
            return "static data too long";
        case EMV_STATIC_DATA_REDUNDANT:
            return "a data object returned twice";
        case EMV_STATIC_DATA_GPO_TEMPLATE:
            return "the GET PROCESSING OPTIONS answer is not one 77 template";
    }
    return "unknown";
}

const char* emv_date_source_name(EmvDateSource source)
{
    switch (source) {
        case EMV_DATE_CDOL1:
            return "cdol1";
        case EMV_DATE_PDOL:
            return "pdol";
        default:
            return nullptr;
    }
}

const char* emv_oda_error_text(EmvOdaErrorKind kind)
{
    switch (kind) {
        case EMV_ODA_ERROR_SHORT_RESPONSE:
            return "response shorter than its status word";
        case EMV_ODA_ERROR_BAD_COMMAND:
            return "command data not as its length or template says";
        case EMV_ODA_ERROR_NOT_TLV:
            return "response data is not well-formed BER-TLV";
        case EMV_ODA_ERROR_BAD_RESPONSE:
            return "response is not the template the command answers with";
        case EMV_ODA_ERROR_CHAINED:
            return "GET RESPONSE answered 61XX again";
        case EMV_ODA_ERROR_TOO_MANY_RECORDS:
            return "more records than kept";
        case EMV_ODA_ERROR_TOO_MANY_OBJECTS:
            return "more data objects than kept";
        case EMV_ODA_ERROR_TOO_MANY_AFL:
            return "more AFL entries than kept";
    }
    return "unknown error";
}
