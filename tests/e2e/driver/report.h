// Check lines of the end-to-end driver: every check prints one line, and the
// first failing one ends the run with a non-zero exit code (the calling script
// then saves the screen for diagnosis).
#pragma once

#include <string>

namespace e2e {

// printf-style formatting into a std::string.
std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints "ok   <what>".
void Pass(const std::string& what);

// Prints "FAIL <what>" and exits with status 1. The program under test is left
// running so that the screen still shows its state.
[[noreturn]] void Fail(const std::string& what);

// Prints "note <what>": context that is not a check.
void Note(const std::string& what);

void Check(bool ok, const std::string& what);

// Equality checks print both values on failure, with control characters
// escaped so that "\r\n" and trailing blanks can be seen.
void CheckEq(const std::string& got, const std::string& want, const std::string& what);
void CheckEq(long long got, long long want, const std::string& what);

// As CheckEq, but silent on success: for the parts of a larger check.
void RequireEq(const std::string& got, const std::string& want, const std::string& what);

// Number of checks passed so far.
int PassedCount();

}  // namespace e2e
