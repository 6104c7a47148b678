// Walks a whole BER-TLV tree depth first, constructed values included, with
// a fixed stack of readers rather than recursion: data nested deeper than
// kEmvTlvMaxDepth is refused instead of growing the call stack.
#include "emv/emv_tlv.h"

void emv_tlv_walk_init(EmvTlvWalk* walk, EmvBytes data)
{
    walk->stack[0] = emv_tlv_reader(data);
    walk->depth = 0;
    walk->enter = false;
    walk->last = {};
}

EmvTlvStatus emv_tlv_walk_next(EmvTlvWalk* walk, EmvTlv* out, EmvTlvError* error)
{
    // The object returned last is entered only now, so a caller sees it
    // even when its children lie too deep.
    if (walk->enter) {
        walk->enter = false;
        if (walk->depth + 1 == kEmvTlvMaxDepth) {
            if (error != nullptr) {
                *error = {EMV_TLV_TOO_DEEP, walk->last.offset};
            }
            return EMV_TLV_TOO_DEEP;
        }
        walk->stack[++walk->depth] = emv_tlv_children(&walk->last);
    }
    for (;;) {
        const EmvTlvStatus status = emv_tlv_next(&walk->stack[walk->depth], out, error);
        if (status == EMV_TLV_END && walk->depth > 0) {
            --walk->depth;
            continue;
        }
        if (status == EMV_TLV_OK && out->constructed && out->length > 0) {
            walk->enter = true;
            walk->last = *out;
        }
        return status;
    }
}

EmvTlvStatus emv_tlv_check(EmvBytes data, EmvTlvError* error)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, data);
    EmvTlv object;
    EmvTlvStatus status;
    do {
        status = emv_tlv_walk_next(&walk, &object, error);
    } while (status == EMV_TLV_OK);
    return status == EMV_TLV_END ? EMV_TLV_OK : status;
}

EmvTlvStatus emv_tlv_find(EmvBytes data, uint32_t tag, EmvTlv* out, EmvTlvError* error)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, data);
    EmvTlv object;
    EmvTlvStatus status;
    while ((status = emv_tlv_walk_next(&walk, &object, error)) == EMV_TLV_OK) {
        if (object.tag == tag) {
            *out = object;
            return EMV_TLV_OK;
        }
    }
    return status;
}
