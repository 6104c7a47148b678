// Reading whole text inputs.

#include "cli/input_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "cli/usage_error.h"

namespace {

std::string read_stream(FILE* in, const std::string& argument, const std::string& name)
{
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
        text.append(buffer, n);
    if (ferror(in))
        throw UsageError(argument, name + ": " + strerror(errno));
    return text;
}

}  // namespace

std::string input_name(const std::string& path)
{
    return path == "-" ? "standard input" : path;
}

std::string read_input_text(const std::string& argument, const std::string& path)
{
    if (path == "-")
        return read_stream(stdin, argument, input_name(path));
    // fopen opens a directory on some systems; reading it then fails with
    // a less telling reason.
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw UsageError(argument, path + ": " + strerror(EISDIR));
    FILE* in = fopen(path.c_str(), "rb");
    if (in == nullptr)
        throw UsageError(argument, path + ": " + strerror(errno));
    std::string text;
    try {
        text = read_stream(in, argument, path);
    } catch (...) {
        fclose(in);
        throw;
    }
    fclose(in);
    return text;
}
