// Writes what the end-to-end driver expects the program to show for a CAPK
// list file, computed here with the tests' oracles, GMP (the RSA public
// operation) and OpenSSL (SHA-1):
//   capk  <label> <rid> <index> <exponent> <modulus length> <stored checksum>
//         <modulus> <checksum input> <its SHA-1> <block in> <block out>
//   typed <name> <exponent> <modulus> <block in> <block out>
//   hash  <name> <data> <SHA-1>
// Byte strings are compact uppercase hex, "-" for none.
//
// Usage: tarvello_e2e_expect <list file> <output file>
#include <cstdio>
#include <string>

#include "tests/e2e/expect/capk_list.h"
#include "tests/support/capk_list.h"
#include "tests/support/oracles.h"

namespace {

using e2e_expect::Bytes;
using e2e_expect::Key;

// Fixed seed: the same file gives the same expectations every run.
uint64_t rng_state = 0x7A2F5E11C0DE1234u;

uint8_t NextByte()
{  // splitmix64, top byte
    uint64_t z = (rng_state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<uint8_t>((z ^ (z >> 31)) >> 56);
}

Bytes RandomBytes(size_t n)
{
    Bytes out(n);
    for (uint8_t& b : out)
        b = NextByte();
    return out;
}

// Compact upper-case hex, "-" for none.
std::string Hex(const Bytes& bytes)
{
    return bytes.empty() ? "-" : support::Hex(bytes);
}

// input ^ exponent mod modulus, as many bytes as the modulus.
Bytes PublicOp(const Bytes& input, long exponent, const Bytes& modulus)
{
    return support::PowMod(input, static_cast<unsigned long>(exponent), modulus);
}

// A block below the modulus, as an encrypted certificate would be.
Bytes BlockFor(const Bytes& modulus)
{
    Bytes block = RandomBytes(modulus.size());
    block[0] = static_cast<uint8_t>(modulus[0] >> 1);
    return block;
}

// RID | index | modulus | exponent, built by the program's own rule.
Bytes ChecksumInput(const Key& key)
{
    return support::ChecksumInput(
        support::ListKey{key.rid, key.index, key.modulus, static_cast<int>(key.exponent), {}});
}

void WriteKey(FILE* out, const Key& key)
{
    Bytes input = ChecksumInput(key);
    Bytes digest = support::Sha1(input);
    if (digest != key.checksum) {
        std::fprintf(stderr, "note: stored checksum of %s_%02X is not the SHA-1 of its fields\n",
                     Hex(key.rid).c_str(), key.index);
    }
    Bytes block, result;
    if (!key.modulus.empty()) {
        block = BlockFor(key.modulus);
        result = PublicOp(block, key.exponent, key.modulus);
    }
    std::fprintf(out, "capk %s_%02X %s %02X %ld %d %s %s %s %s %s %s\n", Hex(key.rid).c_str(),
                 key.index, Hex(key.rid).c_str(), key.index, key.exponent,
                 static_cast<int>(key.modulus.size()), Hex(key.checksum).c_str(),
                 Hex(key.modulus).c_str(), Hex(input).c_str(), Hex(digest).c_str(),
                 Hex(block).c_str(), Hex(result).c_str());
}

// Keys typed by hand: odd moduli with the top bit set, up to the largest
// size the public operation takes (292 bytes).
void WriteTyped(FILE* out)
{
    struct Case {
        const char* name;
        size_t bytes;
        long exponent;
    };
    static const Case kCases[] = {{"k128e3", 128, 3},
                                  {"k176e65537", 176, 65537},
                                  {"k292e65537", 292, 65537},
                                  {"k64e3", 64, 3}};
    for (const Case& c : kCases) {
        Bytes modulus = RandomBytes(c.bytes);
        modulus[0] |= 0x80;
        modulus.back() |= 0x01;
        Bytes block = BlockFor(modulus);
        std::fprintf(out, "typed %s %ld %s %s %s\n", c.name, c.exponent, Hex(modulus).c_str(),
                     Hex(block).c_str(), Hex(PublicOp(block, c.exponent, modulus)).c_str());
    }
}

// Data for the hash box: nothing, one line, several lines, a partial line.
void WriteHashes(FILE* out)
{
    struct Case {
        const char* name;
        size_t bytes;
    };
    static const Case kCases[] = {{"empty", 0}, {"short", 20}, {"lines", 100}, {"odd", 33}};
    for (const Case& c : kCases) {
        Bytes data = RandomBytes(c.bytes);
        std::fprintf(out, "hash %s %s %s\n", c.name, Hex(data).c_str(),
                     Hex(support::Sha1(data)).c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvello_e2e_expect <list file> <output file>\n");
        return 2;
    }
    std::vector<Key> keys;
    if (!e2e_expect::ReadCapkList(argv[1], &keys)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    if (keys.empty()) {
        std::fprintf(stderr, "%s holds no key\n", argv[1]);
        return 1;
    }
    FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "# expectations for %s\n", argv[1]);
    for (const Key& key : keys)
        WriteKey(out, key);
    WriteTyped(out);
    WriteHashes(out);
    bool ok = std::fclose(out) == 0;
    std::printf("%d keys, expectations in %s\n", static_cast<int>(keys.size()), argv[2]);
    return ok ? 0 : 1;
}
