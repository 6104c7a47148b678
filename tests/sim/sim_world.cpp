// The simulated system's state, Reset, resources and the event log.
#include "tests/sim/sim_world.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/sim/sim_resources.h"

namespace sim {
namespace detail {

World& TheWorld()
{
    static World world;
    return world;
}

uintptr_t NewHandleValue()
{
    static uintptr_t next = 0x10000;
    next += 4;
    return next;
}

Window* WindowOf(HWND hwnd)
{
    auto it = TheWorld().windows.find(hwnd);
    return it == TheWorld().windows.end() ? nullptr : &it->second;
}

Window* FindControl(HWND dlg, int id)
{
    Window* d = WindowOf(dlg);
    if (d == nullptr || d->kind != Kind::Dialog)
        return nullptr;
    for (HWND h : d->children) {
        Window* c = WindowOf(h);
        if (c != nullptr && c->id == id)
            return c;
    }
    return nullptr;
}

Window* DialogOf(Window& w)
{
    return w.kind == Kind::Dialog ? &w : WindowOf(w.parent);
}

void LogCall(const std::string& entry)
{
    TheWorld().calls.push_back(entry);
}

HICON IconHandle(int id)
{
    return reinterpret_cast<HICON>(
        static_cast<uintptr_t>(0x1C000000u + static_cast<unsigned>(id & 0xFFFF)));
}

Resources& MutableResources()
{
    static Resources resources;
    return resources;
}

const Resources& LoadedResources()
{
    return MutableResources();
}

}  // namespace detail

using namespace detail;

void Reset()
{
    TheWorld() = World();
}

void LoadResources(const char* res_path)
{
    Resources& r = MutableResources();
    if (r.path == res_path)
        return;
    std::ifstream in(res_path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string("sim: cannot read ") + res_path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    r = ReadResources(bytes);
    r.path = res_path;
}

const DialogTemplate* Template(int id)
{
    auto it = LoadedResources().dialogs.find(id);
    return it == LoadedResources().dialogs.end() ? nullptr : &it->second;
}

std::optional<std::string> String(UINT id)
{
    auto it = LoadedResources().strings.find(id);
    if (it == LoadedResources().strings.end())
        return std::nullopt;
    return it->second;
}

void OnNextModal(std::function<void(HWND)> handler)
{
    TheWorld().modal_handlers.push_back(std::move(handler));
}

void WatchText(std::function<void(int, const std::string&)> watch)
{
    TheWorld().text_watch = std::move(watch);
}

size_t PendingModals()
{
    return TheWorld().modal_handlers.size();
}

void QueueMessageBoxAnswer(int answer)
{
    TheWorld().message_box_answers.push_back(answer);
}

void QueueOpenFile(std::optional<std::string> path)
{
    TheWorld().open_files.push_back(std::move(path));
}

const std::vector<MessageBoxCall>& MessageBoxes()
{
    return TheWorld().message_boxes;
}
const std::vector<FileDialogCall>& FileDialogs()
{
    return TheWorld().file_dialogs;
}
const std::vector<ShellOpen>& ShellOpens()
{
    return TheWorld().shell_opens;
}
const std::vector<DrawnIcon>& DrawnIcons()
{
    return TheWorld().drawn_icons;
}
const std::vector<HMENU>& DestroyedMenus()
{
    return TheWorld().destroyed_menus;
}

void ClearLog()
{
    World& w = TheWorld();
    w.message_boxes.clear();
    w.file_dialogs.clear();
    w.shell_opens.clear();
    w.drawn_icons.clear();
    w.destroyed_menus.clear();
    w.calls.clear();
}

const std::vector<std::string>& Calls()
{
    return TheWorld().calls;
}

}  // namespace sim
