// The BER-TLV reader: one object at a time, padding skipped, every length
// checked against what is left before anything is read.
#include "emv/emv_tlv.h"

#include "emv/emv_internal.h"

namespace {

constexpr int32_t kMaxTagLength = 3;

bool padding(uint8_t b)
{
    return b == 0x00 || b == 0xFF;
}

}  // namespace

EmvTlvStatus emv_tlv_read_length(const uint8_t* data, int32_t left, int32_t* length, int32_t* size)
{
    if (left < 1) {
        return EMV_TLV_LENGTH_CUT;
    }
    const uint8_t first = data[0];
    if (first < 0x80) {
        *length = first;
        *size = 1;
        return EMV_TLV_OK;
    }
    const int32_t bytes = first & 0x7F;
    if (bytes != 1 && bytes != 2) {
        return EMV_TLV_LENGTH_FORM;
    }
    if (left < 1 + bytes) {
        return EMV_TLV_LENGTH_CUT;
    }
    *length = bytes == 1 ? data[1] : (data[1] << 8 | data[2]);
    *size = 1 + bytes;
    return EMV_TLV_OK;
}

namespace {

EmvTlvStatus fail(EmvTlvError* error, EmvTlvStatus status, int32_t offset)
{
    if (error != nullptr) {
        error->status = status;
        error->offset = offset;
    }
    return status;
}

}  // namespace

EmvTlvStatus emv_tlv_read_tag(const uint8_t* data, int32_t length, uint32_t* tag,
                              int32_t* tag_length)
{
    if (length < 1) {
        return EMV_TLV_TAG_CUT;
    }
    uint32_t value = data[0];
    int32_t n = 1;
    // Low five bits all set: more tag bytes follow, each with its top bit
    // set when yet another follows.
    bool more = (data[0] & 0x1F) == 0x1F;
    while (more) {
        if (n == kMaxTagLength) {
            return EMV_TLV_TAG_TOO_LONG;
        }
        if (n >= length) {
            return EMV_TLV_TAG_CUT;
        }
        value = value << 8 | data[n];
        more = (data[n] & 0x80) != 0;
        ++n;
    }
    *tag = value;
    *tag_length = n;
    return EMV_TLV_OK;
}

bool emv_tlv_tag_constructed(uint32_t tag)
{
    uint32_t first = tag;
    while (first > 0xFF) {
        first >>= 8;
    }
    return (first & 0x20) != 0;
}

EmvTlvReader emv_tlv_reader(EmvBytes data)
{
    if (!emv_given(data)) {
        return {nullptr, 0, 0, 0};
    }
    return {data.data, data.length, 0, 0};
}

EmvTlvReader emv_tlv_children(const EmvTlv* object)
{
    return {object->value, object->length, 0, object->offset + object->header_length};
}

EmvTlvStatus emv_tlv_next(EmvTlvReader* reader, EmvTlv* out, EmvTlvError* error)
{
    int32_t at = reader->position;
    while (at < reader->length && padding(reader->data[at])) {
        ++at;
    }
    if (at >= reader->length) {
        reader->position = at;
        return EMV_TLV_END;
    }
    const uint8_t* p = reader->data + at;
    const int32_t left = reader->length - at;
    const int32_t offset = reader->base + at;
    uint32_t tag = 0;
    int32_t tag_length = 0;
    EmvTlvStatus status = emv_tlv_read_tag(p, left, &tag, &tag_length);
    if (status != EMV_TLV_OK) {
        return fail(error, status, offset);
    }
    int32_t length = 0;
    int32_t length_size = 0;
    status = emv_tlv_read_length(p + tag_length, left - tag_length, &length, &length_size);
    if (status != EMV_TLV_OK) {
        return fail(error, status, offset + tag_length);
    }
    const int32_t header = tag_length + length_size;
    if (length > left - header) {
        return fail(error, EMV_TLV_VALUE_CUT, offset + tag_length);
    }
    out->tag = tag;
    out->tag_length = tag_length;
    out->offset = offset;
    out->header_length = header;
    out->length = length;
    out->value = p + header;
    out->constructed = (p[0] & 0x20) != 0;
    reader->position = at + header + length;
    return EMV_TLV_OK;
}

EmvBytes emv_tlv_encoded(const EmvTlv* object)
{
    return {object->value - object->header_length, object->header_length + object->length};
}

EmvBytes emv_tlv_value(const EmvTlv* object)
{
    return {object->value, object->length};
}
