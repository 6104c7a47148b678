#include "tests/e2e/driver/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

int passed = 0;

std::string Escaped(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"')
            out += "\\\"";
        else if (c < 0x20 || c >= 0x7F)
            out += Fmt("\\x%02X", c);
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

}  // namespace

std::string Fmt(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&out[0], out.size() + 1, format, again);
    va_end(again);
    return out;
}

void Pass(const std::string& what)
{
    ++passed;
    std::printf("ok   %s\n", what.c_str());
    std::fflush(stdout);
}

void Fail(const std::string& what)
{
    std::printf("FAIL %s\n", what.c_str());
    std::printf("%d checks passed before the failure\n", passed);
    std::fflush(stdout);
    std::exit(1);
}

void Note(const std::string& what)
{
    std::printf("note %s\n", what.c_str());
    std::fflush(stdout);
}

void Check(bool ok, const std::string& what)
{
    if (!ok)
        Fail(what);
    Pass(what);
}

void RequireEq(const std::string& got, const std::string& want, const std::string& what)
{
    if (got != want) {
        Fail(what + "\n     got:  " + Escaped(got) + "\n     want: " + Escaped(want));
    }
}

void CheckEq(const std::string& got, const std::string& want, const std::string& what)
{
    RequireEq(got, want, what);
    Pass(what);
}

void CheckEq(long long got, long long want, const std::string& what)
{
    if (got != want)
        Fail(Fmt("%s: got %lld, want %lld", what.c_str(), got, want));
    Pass(what);
}

int PassedCount()
{
    return passed;
}

}  // namespace e2e
