// Certification-authority public keys (CAPKs): one loaded key and the
// window's fixed table of them.
#pragma once

#include <cstdint>

// Records a table holds.
constexpr int kMaxCapks = 100;
// Longest modulus a record holds, in bytes (1984 bits).
constexpr int kMaxModulusLength = 248;
// Line buffer of the list-file reader, in bytes: at most 2047 characters of
// a line are read at a time.
constexpr int kCapkFileLineSize = 2048;

// One loaded key. A record is zero-filled before its fields are read, so the
// modulus bytes beyond modulus_length are zero.
struct CapkRecord {
    uint8_t rid[5];                      // registered application provider id
    uint8_t index;                       // CA public key index
    uint8_t modulus[kMaxModulusLength];  // most significant byte first
    int32_t modulus_length;              // valid modulus bytes, 0..248
    int32_t exponent;                    // public exponent, 3 or 65537
    uint8_t checksum[20];                // as stored in the file, never verified
};

// The keys of the main window. The window zeroes it at start (count 0, every
// slot zero, selected -1, use_loaded 0); only a load that opened its file
// changes records and count.
struct CapkTable {
    int32_t count;  // valid records, 0..kMaxCapks
    // Slots 0..count-1 are valid, in file order. Later slots may still hold
    // the records of an earlier, longer load; nothing reads them.
    CapkRecord records[kMaxCapks];
    int32_t selected;    // -1 until a load finds keys, then 0
    int32_t use_loaded;  // "Use loaded CAPKs" as last clicked
};
