// The two output forms of the subcommands.

#include "cli/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/usage_error.h"
#include "core/hex_codec.h"

std::string hex_text(const uint8_t* bytes, size_t n)
{
    return format_hex_compact(bytes, static_cast<int32_t>(n));
}

std::string hex_text(const std::vector<uint8_t>& bytes)
{
    return hex_text(bytes.data(), bytes.size());
}

std::string text_value(const Json& value)
{
    if (value.is_null())
        return "not checked";
    if (value.is_boolean())
        return value.get<bool>() ? "yes" : "no";
    if (value.is_string())
        return value.get<std::string>();
    return value.dump();
}

void add_line(std::string& text, const std::string& name, const std::string& value)
{
    text += name;
    text += ": ";
    text += value;
    text += '\n';
}

void print_json(const Json& doc)
{
    // Text read from a list (a key's name) need not be UTF-8: never fail on it.
    print_text(doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
}

void print_text(const std::string& text)
{
    errno = 0;
    const size_t written = fwrite(text.data(), 1, text.size(), stdout);
    if (fflush(stdout) != 0 || written != text.size()) {
        const int error = errno;
        throw UsageError("standard output", error != 0 ? strerror(error) : "write error");
    }
}

void print_fields(bool json, const std::vector<Field>& fields)
{
    Json doc = Json::object();
    std::string text;
    for (const Field& f : fields) {
        doc[f.key] = f.value;
        add_line(text, f.label, text_value(f.value));
    }
    json ? print_json(doc) : print_text(text);
}
