#include "tests/e2e/driver/shell_record.h"

#include <windows.h>

#include <cstdio>
#include <fstream>

#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

std::string opened_file;

constexpr DWORD kOpenMs = 30000;  // the shell starts the handler process

bool Recorded(const std::string& address)
{
    std::ifstream in(opened_file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == address)
            return true;
    }
    return false;
}

}  // namespace

int RecordOpen(const std::string& file, const std::string& address)
{
    FILE* out = std::fopen(file.c_str(), "ab");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "%s\n", address.c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}

void SetOpenedFile(const std::string& file)
{
    opened_file = file;
}

bool HaveOpenedFile()
{
    return !opened_file.empty();
}

void ClearOpened()
{
    DeleteFileA(opened_file.c_str());
}

void WaitOpened(const std::string& address, const std::string& what)
{
    DWORD start = GetTickCount();
    while (!Recorded(address)) {
        if (GetTickCount() - start > kOpenMs)
            Fail(what + ": the shell was not asked to open " + address);
        Sleep(100);
    }
    Pass(what + ": the shell opened " + address);
}

}  // namespace e2e
