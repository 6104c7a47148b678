// The two hex text forms the program shows, built here independently of the
// program's own formatter so that the driver can check its output.
#pragma once

#include <string>

namespace e2e {

// Compact uppercase hex ("A0000000" ...) to the display form: "XX " per byte,
// "\r\n" before every byte whose position is a positive multiple of 32.
std::string DisplayForm(const std::string& compact);

// Compact hex as a person might type it: lower case, a blank after every
// third byte, a line break after every twentieth.
std::string TypedForm(const std::string& compact);

}  // namespace e2e
