#include "tests/e2e/driver/screenshot.h"

#include <cstdio>

#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

std::string shots_folder;

constexpr DWORD kShotMs = 40000;

}  // namespace

void SetShotsFolder(const std::string& folder)
{
    shots_folder = folder;
}

void Screenshot(HWND window, const std::string& name)
{
    if (shots_folder.empty()) {
        Note("no shots folder given: screenshot " + name + " skipped");
        return;
    }
    Settle(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    std::string base = shots_folder + "\\" + name;
    DeleteFileA((base + ".done").c_str());
    std::string request = base + ".req";
    std::string partial = request + ".tmp";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr)
        Fail("cannot write " + partial);
    std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top);
    std::fclose(file);
    // The script looks only for complete requests.
    if (!MoveFileA(partial.c_str(), request.c_str()))
        Fail("cannot write " + request);
    DWORD start = GetTickCount();
    while (GetFileAttributesA((base + ".done").c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > kShotMs)
            Fail("screenshot " + name + " was not taken");
        Sleep(100);
    }
    Pass(Fmt("screenshot %s.png (%ld x %ld at %ld,%ld)", name.c_str(), rect.right - rect.left,
             rect.bottom - rect.top, rect.left, rect.top));
}

}  // namespace e2e
