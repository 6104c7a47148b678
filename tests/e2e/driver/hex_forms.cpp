#include "tests/e2e/driver/hex_forms.h"

#include <cctype>

namespace e2e {

std::string DisplayForm(const std::string& compact)
{
    std::string out;
    for (size_t byte = 0; byte * 2 + 1 < compact.size(); ++byte) {
        if (byte > 0 && byte % 32 == 0)
            out += "\r\n";
        out += compact.substr(byte * 2, 2);
        out += ' ';
    }
    return out;
}

std::string TypedForm(const std::string& compact)
{
    std::string out;
    for (size_t byte = 0; byte * 2 + 1 < compact.size(); ++byte) {
        if (byte > 0 && byte % 20 == 0)
            out += "\r\n";
        else if (byte > 0 && byte % 3 == 0)
            out += ' ';
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(compact[byte * 2])));
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(compact[byte * 2 + 1])));
    }
    return out;
}

}  // namespace e2e
