// Options and arguments that name an input file. A file that cannot be used
// is refused as "PATH: reason", the reason in the system's words ("No such
// file or directory", "Is a directory"), like other Unix tools say it.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

// For add_option(...)->check(): the path must name something that exists
// and is not a directory. Throws UsageError naming the path.
CLI::Validator input_file();

// Throws UsageError(path, the system's text for error).
[[noreturn]] void throw_file_error(const std::string& path, int error);
