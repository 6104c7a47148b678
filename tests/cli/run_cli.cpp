// Running the program under test in a child process.

#include "tests/cli/run_cli.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string temp_dir()
{
    const char* dir = getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

// A temporary file opened for reading and writing, already unlinked.
int anonymous_file()
{
    std::string path = temp_dir() + "/tarvello-cli-test-XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd >= 0)
        unlink(path.c_str());
    return fd;
}

std::string contents(int fd)
{
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(fd);
    return text;
}

}  // namespace

nlohmann::json CliRun::json() const
{
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(out);
    } catch (const nlohmann::json::parse_error& e) {
        ADD_FAILURE() << "not JSON: " << e.what() << "\n" << out;
    }
    return doc;
}

std::vector<std::string> CliRun::lines() const
{
    std::vector<std::string> result;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        result.push_back(line);
    return result;
}

namespace {

// Runs the program with standard output on out_fd, which is read back into
// the result when read_out is set.
CliRun run_with(const std::vector<std::string>& args, const std::string& input, int out_fd,
                bool read_out)
{
    CliRun run;
    const int in_fd = anonymous_file();
    const int err_fd = anonymous_file();
    if (in_fd < 0 || out_fd < 0 || err_fd < 0) {
        ADD_FAILURE() << "cannot make temporary files";
        return run;
    }
    if (write(in_fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        ADD_FAILURE() << "cannot write standard input";
    }
    lseek(in_fd, 0, SEEK_SET);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(TARVELLO_CLI_PATH));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in_fd, 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in_fd);
    int wstatus = 0;
    if (pid < 0 || waitpid(pid, &wstatus, 0) != pid)
        ADD_FAILURE() << "cannot run the program";
    if (WIFEXITED(wstatus))
        run.status = WEXITSTATUS(wstatus);
    if (read_out)
        run.out = contents(out_fd);
    else
        close(out_fd);
    run.err = contents(err_fd);
    return run;
}

}  // namespace

CliRun run_cli(const std::vector<std::string>& args, const std::string& input)
{
    return run_with(args, input, anonymous_file(), true);
}

CliRun run_cli_to(const std::vector<std::string>& args, const std::string& out_path)
{
    const int fd = open(out_path.c_str(), O_WRONLY);
    if (fd < 0)
        ADD_FAILURE() << "cannot open " << out_path;
    return run_with(args, "", fd, false);
}

std::string test_data(const std::string& name)
{
    return std::string(TARVELLO_TEST_DATA) + "/" + name;
}

namespace {

// The files this process wrote, removed when it ends. Their names carry the
// process id: ctest runs the tests in parallel, and several test programs
// use the same names.
struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles()
    {
        for (const std::string& path : paths)
            unlink(path.c_str());
    }
};

}  // namespace

std::string write_temp_file(const std::string& name, const std::string& text)
{
    static TempFiles files;
    const std::string path =
        testing::TempDir() + "tarvello-cli-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary) << text;
    files.paths.push_back(path);
    return path;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
