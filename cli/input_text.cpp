// Reading whole text inputs.

#include "cli/input_text.h"

#include <cerrno>
#include <cstdio>

#include "cli/file_args.h"

namespace {

std::string read_stream(FILE* in, const std::string& name)
{
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
        text.append(buffer, n);
    if (ferror(in))
        throw_file_error(name, errno);
    return text;
}

}  // namespace

std::string input_name(const std::string& path)
{
    return path == "-" ? "standard input" : path;
}

std::string read_input_text(const std::string& path)
{
    if (path == "-")
        return read_stream(stdin, input_name(path));
    FILE* in = fopen(path.c_str(), "rb");
    if (in == nullptr)
        throw_file_error(path, errno);
    std::string text;
    try {
        text = read_stream(in, path);
    } catch (...) {
        fclose(in);
        throw;
    }
    fclose(in);
    return text;
}

CLI::Validator input_file_or_stdin()
{
    return CLI::Validator(
        [](std::string& path) {
            static const CLI::Validator file = input_file();
            return path == "-" ? std::string() : file(path);
        },
        "FILE|-");
}
