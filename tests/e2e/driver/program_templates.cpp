#include "tests/e2e/driver/program_templates.h"

#include <windows.h>

#include <map>
#include <stdexcept>

#include "tests/e2e/driver/report.h"
#include "ui/resource.h"

namespace e2e {

namespace {

std::map<int, support::DialogTemplate>& Templates()
{
    static std::map<int, support::DialogTemplate> templates;
    return templates;
}

support::DialogTemplate ReadTemplate(HMODULE module, int id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        Fail(Fmt("the program has no dialog template %d", id));
    DWORD size = SizeofResource(module, found);
    try {
        support::LeReader in(static_cast<const uint8_t*>(bytes), 0, size);
        return support::ReadDialogTemplate(in, id);
    } catch (const std::runtime_error& e) {
        Fail(Fmt("dialog template %d of the program: %s", id, e.what()));
    }
    return {};
}

}  // namespace

void LoadProgramTemplates(const std::string& exe)
{
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        Fail("cannot read the program's resources: " + exe);
    for (int id : {IDD_MAIN, IDD_ABOUTBOX})
        Templates()[id] = ReadTemplate(module, id);
    FreeLibrary(module);
    Pass(Fmt("read %d dialog templates from the program's resources",
             static_cast<int>(Templates().size())));
}

const support::DialogTemplate& ProgramTemplate(int id)
{
    auto it = Templates().find(id);
    if (it == Templates().end())
        Fail(Fmt("dialog template %d was not read", id));
    return it->second;
}

}  // namespace e2e
