// Walks a whole BER-TLV tree depth first, constructed values included, with
// a fixed stack of readers rather than recursion: data nested deeper than
// kEmvTlvMaxDepth is refused instead of growing the call stack.
#include "emv/emv_tlv.h"

namespace {

// One step of the walk: the next object in document order, or END when the
// whole data has been read, or the problem met.
class Walk {
public:
    explicit Walk(EmvBytes data) { stack_[0] = emv_tlv_reader(data); }

    EmvTlvStatus next(EmvTlv* out, EmvTlvError* error)
    {
        // The object returned last is entered now, so a lookup sees it even
        // when its children lie too deep.
        if (enter_) {
            enter_ = false;
            if (depth_ + 1 == kEmvTlvMaxDepth) {
                if (error != nullptr) {
                    *error = {EMV_TLV_TOO_DEEP, last_.offset};
                }
                return EMV_TLV_TOO_DEEP;
            }
            stack_[++depth_] = emv_tlv_children(&last_);
        }
        for (;;) {
            const EmvTlvStatus status = emv_tlv_next(&stack_[depth_], out, error);
            if (status == EMV_TLV_END && depth_ > 0) {
                --depth_;
                continue;
            }
            if (status == EMV_TLV_OK && out->constructed) {
                enter_ = true;
                last_ = *out;
            }
            return status;
        }
    }

private:
    EmvTlvReader stack_[kEmvTlvMaxDepth];
    int32_t depth_ = 0;
    bool enter_ = false;
    EmvTlv last_ = {};
};

}  // namespace

EmvTlvStatus emv_tlv_check(EmvBytes data, EmvTlvError* error)
{
    Walk walk(data);
    EmvTlv object;
    EmvTlvStatus status;
    do {
        status = walk.next(&object, error);
    } while (status == EMV_TLV_OK);
    return status == EMV_TLV_END ? EMV_TLV_OK : status;
}

EmvTlvStatus emv_tlv_find(EmvBytes data, uint32_t tag, EmvTlv* out, EmvTlvError* error)
{
    Walk walk(data);
    EmvTlv object;
    EmvTlvStatus status;
    while ((status = walk.next(&object, error)) == EMV_TLV_OK) {
        if (object.tag == tag) {
            *out = object;
            return EMV_TLV_OK;
        }
    }
    return status;
}
