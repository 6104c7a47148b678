#include "tests/e2e/driver/expectations.h"

#include <fstream>
#include <sstream>

#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

std::string Bytes(const std::string& token)
{
    return token == "-" ? std::string() : token;
}

}  // namespace

Expectations ReadExpectations(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        Fail("cannot read expectations " + path);
    Expectations out;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        bool ok = false;
        if (kind == "capk") {
            ExpectedKey k;
            std::string modulus, block_in, block_out;
            ok = static_cast<bool>(fields >> k.label >> k.rid >> k.index >> k.exponent >>
                                   k.modulus_length >> k.stored_checksum >> modulus >>
                                   k.checksum_input >> k.checksum_digest >> block_in >> block_out);
            k.modulus = Bytes(modulus);
            k.block_in = Bytes(block_in);
            k.block_out = Bytes(block_out);
            out.keys.push_back(k);
        } else if (kind == "typed") {
            ExpectedTyped t;
            ok = static_cast<bool>(fields >> t.name >> t.exponent >> t.modulus >> t.block_in >>
                                   t.block_out);
            out.typed.push_back(t);
        } else if (kind == "hash") {
            ExpectedHash h;
            std::string data;
            ok = static_cast<bool>(fields >> h.name >> data >> h.digest);
            h.data = Bytes(data);
            out.hashes.push_back(h);
        }
        if (!ok)
            Fail(Fmt("%s:%d: malformed line", path.c_str(), number));
    }
    return out;
}

}  // namespace e2e
