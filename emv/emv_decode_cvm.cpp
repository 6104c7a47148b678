// Cardholder verification: the CV rules of the CVM list (8E) and of the CVM
// results (9F34), their methods, conditions and results, as EMV Book 3
// codes them.
#include <cstddef>

#include "emv/emv_decode.h"

namespace {

struct CodeName {
    uint8_t code;
    const char* name;
};

const CodeName kMethods[] = {
    {0x00, "Fail CVM processing"},
    {0x01, "Plaintext PIN verification performed by ICC"},
    {0x02, "Enciphered PIN verified online"},
    {0x03, "Plaintext PIN verification performed by ICC and signature (paper)"},
    {0x04, "Enciphered PIN verification performed by ICC"},
    {0x05, "Enciphered PIN verification performed by ICC and signature (paper)"},
    {0x1E, "Signature (paper)"},
    {0x1F, "No CVM required"},
    {0x3F, "No CVM performed"},
};

const CodeName kConditions[] = {
    {0x00, "Always"},
    {0x01, "If unattended cash"},
    {0x02, "If not unattended cash and not manual cash and not purchase with cashback"},
    {0x03, "If terminal supports the CVM"},
    {0x04, "If manual cash"},
    {0x05, "If purchase with cashback"},
    {0x06, "If transaction is in the application currency and is under X value"},
    {0x07, "If transaction is in the application currency and is over X value"},
    {0x08, "If transaction is in the application currency and is under Y value"},
    {0x09, "If transaction is in the application currency and is over Y value"},
};

const char* find(const CodeName* table, size_t count, uint8_t code)
{
    for (size_t i = 0; i < count; ++i) {
        if (table[i].code == code)
            return table[i].name;
    }
    return nullptr;
}

}  // namespace

EmvCvRule emv_cv_rule(uint8_t first, uint8_t condition)
{
    return {static_cast<uint8_t>(first & 0x3F), (first & 0x40) != 0, condition};
}

const char* emv_cvm_method_name(uint8_t method)
{
    const char* name = find(kMethods, sizeof kMethods / sizeof kMethods[0], method);
    if (name != nullptr)
        return name;
    if (method >= 0x20 && method <= 0x2F)
        return "Reserved for use by the individual payment systems";
    if (method >= 0x30 && method <= 0x3E)
        return "Reserved for use by the issuer";
    return "RFU";
}

const char* emv_cvm_condition_name(uint8_t condition)
{
    const char* name = find(kConditions, sizeof kConditions / sizeof kConditions[0], condition);
    if (name != nullptr)
        return name;
    return condition >= 0x80 ? "Reserved for use by individual payment systems" : "RFU";
}

const char* emv_cvm_result_name(uint8_t result)
{
    static const char* const kResults[] = {"Unknown", "Failed", "Successful"};
    return result <= 2 ? kResults[result] : "RFU";
}
