// The simulated system's state, Reset, resources and the event log.
#include "afx/sim/sim_world.h"

#include <sstream>

#include "afx/sim/sim_resources.h"

namespace sim {
namespace detail {

World& TheWorld() {
  static World world;
  return world;
}

uintptr_t NewHandleValue() {
  static uintptr_t next = 0x10000;
  next += 4;
  return next;
}

Window* WindowOf(HWND hwnd) {
  auto it = TheWorld().windows.find(hwnd);
  return it == TheWorld().windows.end() ? nullptr : &it->second;
}

Window* FindControl(HWND dlg, int id) {
  Window* d = WindowOf(dlg);
  if (d == nullptr || d->kind != Kind::Dialog) return nullptr;
  for (HWND h : d->children) {
    Window* c = WindowOf(h);
    if (c != nullptr && c->id == id) return c;
  }
  return nullptr;
}

Window* DialogOf(Window& w) { return w.kind == Kind::Dialog ? &w : WindowOf(w.parent); }

void Log(Event e) { TheWorld().events.push_back(std::move(e)); }

void LogMessage(UINT message, WPARAM wParam, LPARAM) {
  Event e;
  e.kind = EventKind::Message;
  e.message = message;
  if (message == WM_COMMAND) {
    e.id = LOWORD(wParam);
    e.code = HIWORD(wParam);
  } else {
    e.id = static_cast<UINT>(wParam);
  }
  Log(e);
}

void LogCall(const std::string& name, UINT arg) {
  Event e;
  e.kind = EventKind::Call;
  e.text = name;
  e.id = arg;
  Log(e);
}

HICON IconHandle(int id) {
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1C000000u + static_cast<unsigned>(id & 0xFFFF)));
}

Resources& MutableResources() {
  static Resources resources;
  return resources;
}

const Resources& LoadedResources() { return MutableResources(); }

}  // namespace detail

using namespace detail;

void Reset() { TheWorld() = World(); }

void LoadResources(const char* rc_path, const char* resource_h_path) {
  Resources& r = MutableResources();
  if (r.rc_path == rc_path && r.header_path == resource_h_path) return;
  r = ParseResources(rc_path, resource_h_path);
}

const DialogTemplate* Template(int id) {
  auto it = LoadedResources().dialogs.find(id);
  return it == LoadedResources().dialogs.end() ? nullptr : &it->second;
}

std::optional<std::string> String(UINT id) {
  auto it = LoadedResources().strings.find(id);
  if (it == LoadedResources().strings.end()) return std::nullopt;
  return it->second;
}

std::optional<long> Symbol(const std::string& name) {
  auto it = LoadedResources().symbols.find(name);
  if (it == LoadedResources().symbols.end()) return std::nullopt;
  return it->second;
}

void OnNextModal(std::function<void(HWND)> handler) {
  TheWorld().modal_handlers.push_back(std::move(handler));
}

size_t PendingModals() { return TheWorld().modal_handlers.size(); }

void QueueMessageBoxAnswer(int answer) { TheWorld().message_box_answers.push_back(answer); }

void QueueOpenFile(std::optional<std::string> path) { TheWorld().open_files.push_back(std::move(path)); }

const std::vector<MessageBoxCall>& MessageBoxes() { return TheWorld().message_boxes; }
const std::vector<FileDialogCall>& FileDialogs() { return TheWorld().file_dialogs; }
const std::vector<ShellOpen>& ShellOpens() { return TheWorld().shell_opens; }
const std::vector<DrawnIcon>& DrawnIcons() { return TheWorld().drawn_icons; }
const std::vector<HMENU>& DestroyedMenus() { return TheWorld().destroyed_menus; }

void ClearLog() {
  World& w = TheWorld();
  w.message_boxes.clear();
  w.file_dialogs.clear();
  w.shell_opens.clear();
  w.drawn_icons.clear();
  w.destroyed_menus.clear();
}

const std::vector<Event>& Events() { return TheWorld().events; }
void ClearEvents() { TheWorld().events.clear(); }

bool Event::operator==(const Event& o) const {
  return kind == o.kind && message == o.message && id == o.id && code == o.code && text == o.text &&
         detail == o.detail;
}

std::string Describe(const Event& e) {
  static const char* const kinds[] = {"Message", "ModalBegin", "ModalEnd", "HandlerLeftOpen",
                                      "MessageBox", "FileDialog", "ShellOpen", "Call"};
  std::ostringstream s;
  s << kinds[static_cast<int>(e.kind)] << " msg=0x" << std::hex << e.message << " id=0x" << e.id
    << " code=0x" << e.code << std::dec;
  if (!e.text.empty()) s << " text=\"" << e.text << "\"";
  if (!e.detail.empty()) s << " detail=\"" << e.detail << "\"";
  if (e.optional) s << " (optional)";
  return s.str();
}

std::string MatchSequence(const std::vector<Event>& actual, const std::vector<Event>& expected) {
  size_t a = 0, x = 0;
  bool ok = true;
  while (x < expected.size()) {
    if (a < actual.size() && actual[a] == expected[x]) {
      ++a;
      ++x;
    } else if (expected[x].optional) {
      ++x;
    } else {
      ok = false;
      break;
    }
  }
  if (ok && a == actual.size()) return "";
  std::ostringstream s;
  s << "event sequence mismatch at actual #" << a << ", expected #" << x << "\nexpected:\n";
  for (const Event& e : expected) s << "  " << Describe(e) << "\n";
  s << "actual:\n";
  for (const Event& e : actual) s << "  " << Describe(e) << "\n";
  return s.str();
}

}  // namespace sim
