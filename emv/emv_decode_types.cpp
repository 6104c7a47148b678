// The terminal type (9F35) and the transaction type (9C).
#include <cstdio>

#include "emv/emv_decode.h"

void emv_terminal_type_text(uint8_t type, char* out, int32_t capacity)
{
    if (capacity <= 0)
        return;
    static const char* const kControl[] = {"Financial institution", "Merchant", "Cardholder"};
    static const char* const kEnvironment[] = {"attended, online only",
                                               "attended, offline with online capability",
                                               "attended, offline only",
                                               "unattended, online only",
                                               "unattended, offline with online capability",
                                               "unattended, offline only"};
    const int control = type >> 4;
    const int environment = type & 0x0F;
    // Cardholder-operated terminals are unattended (34-36 only).
    const bool defined = control >= 1 && control <= 3 && environment >= 1 && environment <= 6 &&
                         (control != 3 || environment >= 4);
    if (!defined) {
        out[0] = '\0';
        return;
    }
    snprintf(out, static_cast<size_t>(capacity), "%s, %s", kControl[control - 1],
             kEnvironment[environment - 1]);
}

const char* emv_transaction_type_name(uint8_t type)
{
    // The first two digits of the ISO 8583 processing code, as EMV uses them.
    switch (type) {
        case 0x00:
            return "Goods and services (purchase)";
        case 0x01:
            return "Cash";
        case 0x09:
            return "Purchase with cashback";
        case 0x11:
            return "Quasi-cash";
        case 0x20:
            return "Refund";
        case 0x21:
            return "Deposit";
        case 0x30:
            return "Available funds inquiry";
        case 0x31:
            return "Balance inquiry";
        case 0x40:
            return "Cardholder accounts transfer";
        case 0x50:
            return "Payment";
        default:
            return nullptr;
    }
}
