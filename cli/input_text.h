// Text input of the subcommands that read a whole file or standard input
// (trace files, hex on standard input).
#pragma once

#include <string>

// The whole text of the file at path, or of standard input when path is
// "-". Throws UsageError naming argument (with the path and the system's
// reason) when it cannot be read.
std::string read_input_text(const std::string& argument, const std::string& path);

// What messages about the input call it: the path, or "standard input".
std::string input_name(const std::string& path);
