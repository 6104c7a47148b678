// The help text's layout: descriptions, the footer and option texts wrapped
// at word boundaries to fit a terminal of kHelpWidth columns, continuation
// lines under the first.
#pragma once

#include <cstddef>
#include <string>

#include <CLI/CLI.hpp>

constexpr size_t kHelpWidth = 80;

// text wrapped to lines of at most width characters, breaking only at
// blanks (a word longer than width stands alone); line breaks in text stay.
std::string wrap_words(const std::string& text, size_t width);

class WrappingFormatter : public CLI::Formatter {
public:
    std::string make_description(const CLI::App* app) const override;
    std::string make_footer(const CLI::App* app) const override;
    std::string make_subcommand(const CLI::App* sub) const override;
    std::string make_option_desc(const CLI::Option* opt) const override;

private:
    // Width left for a description beside the name column.
    size_t description_width() const;
};
