// Checksum input and list label of a CA public key.

#include "core/capk_rules.h"

#include <cstdio>
#include <cstring>

int32_t capk_checksum_input(const CapkRecord* rec, uint8_t* out)
{
    int32_t n = 0;
    memcpy(out + n, rec->rid, sizeof rec->rid);
    n += (int32_t)sizeof rec->rid;
    out[n++] = rec->index;
    memcpy(out + n, rec->modulus, (size_t)rec->modulus_length);
    n += rec->modulus_length;
    if (rec->exponent == 3) {
        out[n++] = 0x03;
    } else if (rec->exponent == 65537) {
        out[n++] = 0x01;
        out[n++] = 0x00;
        out[n++] = 0x01;
    } else {
        return -1;
    }
    return n;
}

void capk_label(const CapkRecord* rec, char out[kCapkLabelSize])
{
    snprintf(out, kCapkLabelSize, "%02X%02X%02X%02X%02X_%02X", rec->rid[0], rec->rid[1],
             rec->rid[2], rec->rid[3], rec->rid[4], rec->index);
}
