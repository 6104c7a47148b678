// Fuzzes the recovered-block checks of all four formats with any bytes as
// block, remainder, exponent, static or dynamic data and PAN text. Each
// input gets its own heap copy of exactly its size, so ASan sees any read
// past it.
//
// Input: kind/flags, then the lengths of remainder, exponent, data and PAN
// (0xFF: not given), then those strings in that order; the rest is the
// block. Strings are cut short where the input ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "emv/emv.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr uint8_t kNotGivenLength = 0xFF;

// One input string on the heap at exactly its size (null when empty).
struct Piece {
    std::unique_ptr<uint8_t[]> heap;
    EmvBytes bytes;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), left_(size) {}

    uint8_t byte()
    {
        if (left_ == 0)
            return 0;
        --left_;
        return *data_++;
    }

    Piece piece(uint8_t length)
    {
        Piece p;
        if (length == kNotGivenLength) {
            p.bytes = {nullptr, -1};
            return p;
        }
        return take(length < left_ ? length : left_);
    }

    Piece rest() { return take(left_); }

private:
    Piece take(size_t n)
    {
        Piece p;
        if (n > 0) {
            p.heap.reset(new uint8_t[n]);
            memcpy(p.heap.get(), data_, n);
        }
        p.bytes = {p.heap.get(), static_cast<int32_t>(n)};
        data_ += n;
        left_ -= n;
        return p;
    }

    const uint8_t* data_;
    size_t left_;
};

bool check_value_ok(EmvCheckResult r)
{
    return r == EMV_CHECK_NOT_MADE || r == EMV_CHECK_PASSED || r == EMV_CHECK_FAILED;
}

void check_common(const EmvRecoveredCommon& c)
{
    const EmvCheckResult all[] = {
        c.checks.length,     c.checks.header,         c.checks.trailer,
        c.checks.format,     c.checks.hash_algorithm, c.checks.pk_algorithm,
        c.checks.key_length, c.checks.hash,           c.checks.expiry,
        c.checks.pan,        c.checks.pan_form,       c.checks.dynamic_data_length};
    for (EmvCheckResult r : all)
        FUZZ_CHECK(check_value_ok(r));
    FUZZ_CHECK(c.checks.header != EMV_CHECK_PASSED || c.header == EMV_HEADER);
    FUZZ_CHECK(c.checks.trailer != EMV_CHECK_PASSED || c.trailer == EMV_TRAILER);
}

void check_key(const EmvPublicKey& key, uint8_t pk_length, EmvCheckResult key_length,
               int32_t signer_length)
{
    FUZZ_CHECK(key_length != EMV_CHECK_PASSED || pk_length <= signer_length);
    FUZZ_CHECK(key.modulus_length == 0 || key.modulus_length == pk_length);
    FUZZ_CHECK(key.modulus_length >= 0 && key.modulus_length <= kEmvMaxKeyLength);
    FUZZ_CHECK(key.exponent_length >= 0 && key.exponent_length <= kEmvMaxExponentLength);
    FUZZ_CHECK(key_length != EMV_CHECK_PASSED || key.modulus_length == pk_length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in(data, size);
    const uint8_t flags = in.byte();
    const uint8_t remainder_length = in.byte();
    const uint8_t exponent_length = in.byte();
    const uint8_t data_length = in.byte();
    const uint8_t pan_length = in.byte();
    Piece remainder = in.piece(remainder_length);
    Piece exponent = in.piece(exponent_length);
    Piece extra = in.piece(data_length);
    Piece pan_bytes = in.piece(pan_length);
    Piece block = in.rest();

    // The PAN as a C string on the heap, NUL included and nothing more.
    std::unique_ptr<char[]> pan;
    if (pan_bytes.bytes.length >= 0) {
        const size_t n = static_cast<size_t>(pan_bytes.bytes.length);
        pan.reset(new char[n + 1]);
        if (n > 0)
            memcpy(pan.get(), pan_bytes.bytes.data, n);
        pan[n] = '\0';
    }
    const EmvCertOptions options = {pan.get(), {2026, 12, 9}};

    const int32_t n = block.bytes.length;
    const int32_t signed_length = (flags & 0x04) != 0 ? n + 1 : n;
    switch (flags & 0x03) {
        case 0: {
            EmvIssuerCert out;
            emv_check_issuer_cert(block.bytes.data, n, signed_length, n, remainder.bytes,
                                  exponent.bytes, &options, &out);
            check_common(out.common);
            check_key(out.key, out.pk_length, out.common.checks.key_length, n);
            break;
        }
        case 1: {
            EmvIccCert out;
            emv_check_icc_cert(block.bytes.data, n, signed_length, n, remainder.bytes,
                               exponent.bytes, extra.bytes, &options, &out);
            check_common(out.common);
            check_key(out.key, out.pk_length, out.common.checks.key_length, n);
            break;
        }
        case 2: {
            EmvSsad out;
            emv_check_ssad(block.bytes.data, n, signed_length, n, extra.bytes, &out);
            check_common(out.common);
            break;
        }
        default: {
            EmvSdad out;
            emv_check_sdad(block.bytes.data, n, signed_length, n, extra.bytes, &out);
            check_common(out.common);
            FUZZ_CHECK(out.icc_dynamic_data_length == 0 || out.icc_dynamic_data_length <= n - 25);
            FUZZ_CHECK(out.common.checks.key_length == EMV_CHECK_NOT_MADE);
            FUZZ_CHECK(out.common.checks.dynamic_data_length != EMV_CHECK_PASSED ||
                       out.icc_dynamic_data_length == block.bytes.data[3]);
            break;
        }
    }
    return 0;
}
