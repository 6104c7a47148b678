// An argument or input the program cannot work with. main reports it as one
// line on standard error, naming the argument, and exits with status 2.
#pragma once

#include <stdexcept>
#include <string>

class UsageError : public std::runtime_error {
public:
    UsageError(const std::string& argument, const std::string& problem)
        : std::runtime_error(argument + ": " + problem)
    {
    }
};
