// Text input of the subcommands that read a whole file or standard input
// (trace files, hex on standard input).
#pragma once

#include <string>

#include <CLI/CLI.hpp>

// The whole text of the file at path, or of standard input when path is
// "-". Throws UsageError "PATH: reason" when it cannot be read.
std::string read_input_text(const std::string& path);

// What messages about the input call it: the path, or "standard input".
std::string input_name(const std::string& path);

// For add_option(...)->check(): "-", or a file input_file() accepts.
CLI::Validator input_file_or_stdin();
