// The signer's key of rsa and recover issuer: either a key of a CAPK list
// (--capks FILE --key LABEL) or a modulus and exponent typed in (rsa:
// --modulus/--exponent; recover issuer: --ca-modulus/--ca-exponent).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

struct KeyOptions {
    KeyOptions(const char* modulus_option, const char* exponent_option)
        : modulus_flag(modulus_option), exponent_flag(exponent_option)
    {
    }
    std::string modulus_flag;  // the option names, for messages
    std::string exponent_flag;
    std::string capks;
    std::string key;
    std::string modulus;
    std::string exponent;
    CLI::Option* listed = nullptr;  // --key, set by add_key_options
    CLI::Option* typed = nullptr;   // the modulus option, set by add_key_options
};

// Adds the four options to sub: the two of a pair need each other, and the
// pairs exclude each other.
void add_key_options(CLI::App* sub, KeyOptions& opts);

struct SignerKey {
    std::string label;             // the list label, empty for a key typed in
    std::vector<uint8_t> modulus;  // first byte non-zero
    uint32_t exponent;             // 3 or 65537
};

// Refuses, naming argument, a modulus that is empty, longer than max_length
// bytes, or starts with a zero byte (its length is the block length the key
// works on).
void check_modulus(const std::string& argument, const std::vector<uint8_t>& modulus,
                   size_t max_length);

// The key the options name, its modulus checked by check_modulus. Throws
// UsageError when neither pair is given or a value is refused.
SignerKey resolve_key(const KeyOptions& opts, size_t max_length);
