// Data object lists: parsed into entries, and the data they name built from
// known values with the padding and truncation rules of each format.
#include "emv/emv_dol.h"

#include <cstring>

#include "emv/emv_internal.h"
#include "emv/emv_tags.h"

namespace {

const EmvTagValue* value_of(uint32_t tag, const EmvTagValue* values, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        if (values[i].tag == tag && emv_given(values[i].value)) {
            return &values[i];
        }
    }
    return nullptr;
}

// One entry's data: the value fitted to length bytes as its format says.
void fit(const EmvTagValue* known, int32_t length, uint8_t* out)
{
    memset(out, 0, (size_t)length);
    if (known == nullptr || emv_tlv_tag_constructed(known->tag)) {
        return;
    }
    const EmvTagFormat format = emv_tag_format(known->tag);
    const EmvBytes v = known->value;
    const int32_t n = v.length < length ? v.length : length;
    if (n == 0) {
        return;
    }
    if (format == EMV_TAG_NUMERIC) {
        // Right-justified: the rightmost digits kept, leading zeros added.
        memcpy(out + length - n, v.data + v.length - n, (size_t)n);
        return;
    }
    memcpy(out, v.data, (size_t)n);
    if (format == EMV_TAG_COMPRESSED) {
        memset(out + n, 0xFF, (size_t)(length - n));
    }
}

}  // namespace

EmvTlvStatus emv_dol_parse(EmvBytes dol, EmvDol* out, EmvTlvError* error)
{
    out->count = 0;
    out->data_length = 0;
    const int32_t size = emv_given(dol) ? dol.length : 0;
    int32_t at = 0;
    while (at < size) {
        uint32_t tag = 0;
        int32_t tag_length = 0;
        int32_t length = 0;
        int32_t length_size = 0;
        EmvTlvStatus status = emv_tlv_read_tag(dol.data + at, size - at, &tag, &tag_length);
        int32_t where = at;
        if (status == EMV_TLV_OK) {
            where = at + tag_length;
            status = emv_tlv_read_length(dol.data + where, size - where, &length, &length_size);
        }
        if (status == EMV_TLV_OK && out->count == kEmvMaxDolEntries) {
            status = EMV_TLV_TOO_MANY;
            where = at;
        }
        if (status != EMV_TLV_OK) {
            if (error != nullptr) {
                *error = {status, where};
            }
            return status;
        }
        out->entries[out->count++] = {tag, length, out->data_length};
        out->data_length += length;
        at += tag_length + length_size;
    }
    return EMV_TLV_OK;
}

EmvTlvStatus emv_dol_build(const EmvDol* dol, const EmvTagValue* values, int32_t value_count,
                           uint8_t* out, int32_t capacity, int32_t* out_length)
{
    *out_length = dol->data_length;
    if (dol->data_length > capacity) {
        return EMV_TLV_NO_ROOM;
    }
    for (int32_t i = 0; i < dol->count; ++i) {
        const EmvDolEntry& e = dol->entries[i];
        fit(value_of(e.tag, values, value_count), e.length, out + e.data_offset);
    }
    return EMV_TLV_OK;
}

EmvBytes emv_dol_value(const EmvDol* dol, EmvBytes dol_data, uint32_t tag)
{
    for (int32_t i = 0; i < dol->count; ++i) {
        const EmvDolEntry& e = dol->entries[i];
        if (e.tag != tag) {
            continue;
        }
        if (!emv_given(dol_data) || e.data_offset + e.length > dol_data.length) {
            return {nullptr, -1};
        }
        return {dol_data.data + e.data_offset, e.length};
    }
    return {nullptr, -1};
}
