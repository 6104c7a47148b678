// Bit meanings of the terminal (9F66) and card (9F6C) transaction
// qualifiers of the contactless kernels that authenticate by fDDA.
#include "emv/emv_qualifiers.h"

namespace {

const EmvQualifierBit kTtq[] = {
    {0, 0x80, "magnetic stripe mode supported"},
    {0, 0x20, "EMV mode supported"},
    {0, 0x10, "EMV contact chip supported"},
    {0, 0x08, "offline-only reader"},
    {0, 0x04, "online PIN supported"},
    {0, 0x02, "signature supported"},
    {0, 0x01, "offline data authentication for online authorizations supported"},
    {1, 0x80, "online cryptogram required"},
    {1, 0x40, "CVM required"},
    {1, 0x20, "contact chip offline PIN supported"},
    {2, 0x80, "issuer update processing supported"},
    {2, 0x40, "consumer device CVM supported"},
};

const EmvQualifierBit kCtq[] = {
    {0, 0x80, "online PIN required"},
    {0, 0x40, "signature required"},
    {0, 0x20, "go online if offline data authentication fails"},
    {0, 0x10, "switch interface if offline data authentication fails"},
    {0, 0x08, "go online if the application has expired"},
    {0, 0x04, "switch interface for cash transactions"},
    {0, 0x02, "switch interface for cashback transactions"},
    {1, 0x80, "consumer device CVM performed"},
    {1, 0x40, "issuer update processing supported at the point of sale"},
};

}  // namespace

const EmvQualifierBit* emv_qualifier_bits(uint32_t tag, int32_t* count)
{
    if (tag == 0x9F66) {
        *count = (int32_t)(sizeof kTtq / sizeof kTtq[0]);
        return kTtq;
    }
    if (tag == 0x9F6C) {
        *count = (int32_t)(sizeof kCtq / sizeof kCtq[0]);
        return kCtq;
    }
    *count = 0;
    return nullptr;
}
