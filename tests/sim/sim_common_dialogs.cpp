// Message boxes, the file dialogs and the shell: recorded and answered
// from the test's script.
#include <algorithm>
#include <cstring>

#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

// The answer of an unscripted box: its first button.
int DefaultAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
    }
}

// The filter as the system reads it: "label\0pattern\0" pairs up to the
// empty string, kept with their NULs and the final one.
std::string FilterOf(LPCSTR filter)
{
    std::string out;
    if (filter == nullptr)
        return out;
    for (LPCSTR p = filter; *p != '\0'; p += std::strlen(p) + 1)
        out.append(p, std::strlen(p) + 1);
    out.push_back('\0');
    return out;
}

void StoreChosenPath(LPOPENFILENAMEA ofn, const std::string& path)
{
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    size_t name = path.find_last_of("\\/");
    name = name == std::string::npos ? 0 : name + 1;
    size_t dot = path.find_last_of('.');
    ofn->nFileOffset = static_cast<WORD>(name);
    ofn->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= name ? dot + 1 : 0);
    if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0) {
        std::string title = path.substr(name);
        size_t n = std::min<size_t>(title.size(), ofn->nMaxFileTitle - 1);
        std::memcpy(ofn->lpstrFileTitle, title.data(), n);
        ofn->lpstrFileTitle[n] = '\0';
    }
}

BOOL FileDialog(LPOPENFILENAMEA ofn)
{
    World& w = TheWorld();
    sim::FileDialogCall call;
    call.owner = ofn->hwndOwner;
    if (ofn->lpstrDefExt != nullptr)
        call.def_ext = std::string(ofn->lpstrDefExt);
    call.filter = FilterOf(ofn->lpstrFilter);
    call.initial_file = ofn->lpstrFile != nullptr ? ofn->lpstrFile : "";
    call.flags = ofn->Flags;
    call.accepted = false;

    std::optional<std::string> choice;
    if (!w.open_files.empty()) {
        choice = w.open_files.front();
        w.open_files.pop_front();
    }
    if (choice) {
        if (ofn->lpstrFile == nullptr || choice->size() + 1 > ofn->nMaxFile) {
            // The path does not fit the caller's buffer: the dialog fails.
        } else {
            StoreChosenPath(ofn, *choice);
            call.accepted = true;
        }
    }
    w.file_dialogs.push_back(call);
    return call.accepted ? TRUE : FALSE;
}

}  // namespace

int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type)
{
    World& w = TheWorld();
    int answer = DefaultAnswer(type);
    if (!w.message_box_answers.empty()) {
        answer = w.message_box_answers.front();
        w.message_box_answers.pop_front();
    }
    sim::MessageBoxCall call{hWnd, text != nullptr ? text : "",
                             caption != nullptr ? caption : "Error", type, answer};
    w.message_boxes.push_back(call);
    return answer;
}

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    return FileDialog(ofn);
}

HINSTANCE WINAPI ShellExecuteA(HWND hWnd, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, int)
{
    sim::ShellOpen open{hWnd, operation != nullptr ? operation : "", file != nullptr ? file : ""};
    TheWorld().shell_opens.push_back(open);
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(42));  // > 32: success
}
