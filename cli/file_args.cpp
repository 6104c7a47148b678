// Input files checked before anything is read from them.

#include "cli/file_args.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/usage_error.h"

void throw_file_error(const std::string& path, int error)
{
    throw UsageError(path, strerror(error));
}

CLI::Validator input_file()
{
    return CLI::Validator(
        [](std::string& path) {
            struct stat info;
            if (stat(path.c_str(), &info) != 0)
                throw_file_error(path, errno);
            if (S_ISDIR(info.st_mode))
                throw_file_error(path, EISDIR);
            return std::string();
        },
        "FILE");
}
