// The module and its resources: handles, icons, strings, FindResourceA.
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>

#include "tests/sim/sim_resources.h"
#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

const uintptr_t kModule = 0x400000;

// A resource name as an id: MAKEINTRESOURCE or "#123"; -1 if neither (the
// program names every resource by id).
long ResourceIdOf(LPCSTR name)
{
    if (name == nullptr)
        return -1;
    if (IS_INTRESOURCE(name))
        return static_cast<long>(reinterpret_cast<uintptr_t>(name));
    return name[0] == '#' ? std::atol(name + 1) : -1;
}

bool HasResource(long type, long id)
{
    const Resources& r = LoadedResources();
    switch (type) {
        case 3:   // RT_ICON
        case 14:  // RT_GROUP_ICON
            return r.icon_groups.count(static_cast<int>(id)) != 0;
        case 5:  // RT_DIALOG
            return r.dialogs.count(static_cast<int>(id)) != 0;
        case 6:  // RT_STRING: block id holds strings (id - 1) * 16 .. id * 16 - 1
            for (const auto& s : r.strings) {
                if (static_cast<long>(s.first >> 4) + 1 == id)
                    return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    return moduleName == nullptr ? reinterpret_cast<HMODULE>(kModule) : NULL;
}

// The module is the program whose resources are loaded: "Tarvello.res" makes
// "C:\\Tarvello\\Tarvello.exe". Truncates as the system does: size - 1
// characters and a NUL, returning size.
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    std::string res = LoadedResources().path;
    size_t slash = res.find_last_of("\\/");
    std::string stem = res.substr(slash == std::string::npos ? 0 : slash + 1);
    stem = stem.substr(0, stem.rfind('.'));
    std::string path = "C:\\" + stem + "\\" + stem + ".exe";
    if (fileName == nullptr || size == 0)
        return 0;
    size_t n = std::min<size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), n);
    fileName[n] = '\0';
    return n < path.size() ? size : static_cast<DWORD>(n);
}

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    long id = ResourceIdOf(name);
    long t = IS_INTRESOURCE(type) ? static_cast<long>(reinterpret_cast<uintptr_t>(type)) : -1;
    if (id < 0 || !HasResource(t, id))
        return NULL;
    return reinterpret_cast<HRSRC>(static_cast<uintptr_t>(0x1E000000 + (t << 16) + id));
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR iconName)
{
    long id = ResourceIdOf(iconName);
    if (id < 0)
        return NULL;
    if (hInstance == NULL)
        return id >= 32512 && id <= 32517 ? IconHandle(static_cast<int>(id)) : NULL;
    return LoadedResources().icon_groups.count(static_cast<int>(id))
               ? IconHandle(static_cast<int>(id))
               : NULL;
}

int WINAPI LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax)
{
    if (buffer == nullptr || bufferMax <= 0)
        return 0;
    std::optional<std::string> s = sim::String(id);
    size_t n = s ? std::min(s->size(), static_cast<size_t>(bufferMax) - 1) : 0;
    if (n > 0)
        std::memcpy(buffer, s->data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}
