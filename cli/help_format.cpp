// Help text wrapped at word boundaries.

#include "cli/help_format.h"

#include <sstream>

namespace {

// One line of text (no line break in it) wrapped onto out.
void wrap_line(const std::string& line, size_t width, std::string& out)
{
    std::istringstream words(line);
    std::string word;
    size_t used = 0;
    while (words >> word) {
        if (used > 0 && used + 1 + word.size() > width) {
            out += '\n';
            used = 0;
        }
        if (used > 0) {
            out += ' ';
            ++used;
        }
        out += word;
        used += word.size();
    }
}

}  // namespace

std::string wrap_words(const std::string& text, size_t width)
{
    std::string out;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t end = text.find('\n', from);
        const size_t stop = end == std::string::npos ? text.size() : end;
        wrap_line(text.substr(from, stop - from), width, out);
        if (end == std::string::npos)
            break;
        out += '\n';
        from = end + 1;
    }
    return out;
}

size_t WrappingFormatter::description_width() const
{
    const size_t column = get_column_width();
    return kHelpWidth > column + 20 ? kHelpWidth - column : 20;
}

std::string WrappingFormatter::make_description(const CLI::App* app) const
{
    return wrap_words(CLI::Formatter::make_description(app), kHelpWidth);
}

std::string WrappingFormatter::make_footer(const CLI::App* app) const
{
    return wrap_words(CLI::Formatter::make_footer(app), kHelpWidth);
}

std::string WrappingFormatter::make_subcommand(const CLI::App* sub) const
{
    std::stringstream out;
    CLI::detail::format_help(out, sub->get_display_name(true),
                             wrap_words(sub->get_description(), description_width()),
                             get_column_width());
    return out.str();
}

std::string WrappingFormatter::make_option_desc(const CLI::Option* opt) const
{
    return wrap_words(CLI::Formatter::make_option_desc(opt), description_width());
}
