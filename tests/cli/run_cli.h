// Runs the built tarvello-cli as a user would: arguments passed as they are
// (no shell), standard input given, standard output, standard error and the
// exit status captured.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

struct CliRun {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;

    // Standard output parsed as JSON (a test failure when it is not).
    nlohmann::json json() const;
    // The lines of standard output, without their line breaks.
    std::vector<std::string> lines() const;
};

CliRun run_cli(const std::vector<std::string>& args, const std::string& input = "");

// The same with standard output going to the file at out_path (e.g.
// /dev/full); CliRun::out stays empty.
CliRun run_cli_to(const std::vector<std::string>& args, const std::string& out_path);

// Path of a file under tests/data.
std::string test_data(const std::string& name);

// A fresh file in the test's temporary folder holding text; returns its path.
std::string write_temp_file(const std::string& name, const std::string& text);

// The whole contents of a file.
std::string read_file(const std::string& path);
