// The resource-script parser: templates, styles (defaults, base styles,
// NOT), strings, symbols, errors, and agreement with the real resource
// compiler's binary output.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "afx/sim/sim_resources.h"
#include "sim_fixture.h"

namespace {

const DWORD CV = WS_CHILD | WS_VISIBLE;

struct ControlRow {
  const char* statement;
  const char* window_class;
  const char* text;
  int id;
  int x, y, cx, cy;
  DWORD style;
  DWORD ex_style;
};

// Every control of IDD_ALL, in template order, as the resource compiler builds it.
const ControlRow kAllControls[] = {
    {"DEFPUSHBUTTON", "Button", "OK", IDOK, 240, 180, 50, 14, CV | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {"PUSHBUTTON", "Button", "Cancel", IDCANCEL, 180, 180, 50, 14, WS_CHILD | WS_TABSTOP, 0},
    {"GROUPBOX", "Button", " Group ", -1, 5, 5, 290, 100, CV | BS_GROUPBOX, 0},
    {"LTEXT", "Static", "Label:", IDC_LABEL, 10, 20, 30, 8, CV | WS_GROUP, 0},
    // A written style replaces the statement's WS_GROUP default.
    {"LTEXT", "Static", "No & prefix", -1, 10, 30, 60, 8, CV | SS_NOPREFIX, 0},
    {"ICON", "Static", "#300", -1, 10, 40, 20, 20, CV | SS_ICON, 0},
    {"EDITTEXT", "Edit", "", IDC_MULTI, 50, 20, 200, 40,
     CV | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 0},
    {"EDITTEXT", "Edit", "", IDC_PLAIN_MULTI, 50, 65, 200, 30, CV | ES_MULTILINE, 0},
    {"EDITTEXT", "Edit", "", IDC_SINGLE, 50, 100, 100, 12, CV | WS_BORDER | WS_TABSTOP, 0},
    {"EDITTEXT", "Edit", "", IDC_READONLY, 50, 115, 100, 12, CV | WS_BORDER | WS_TABSTOP | ES_READONLY,
     WS_EX_CLIENTEDGE},
    // COMBOBOX has no base style: its tab stop must be written.
    {"COMBOBOX", "ComboBox", "", IDC_LIST, 160, 100, 100, 80,
     CV | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {"COMBOBOX", "ComboBox", "", IDC_SORTED, 160, 115, 100, 80, CV | CBS_DROPDOWNLIST | CBS_SORT, 0},
    {"CONTROL", "Button", "Check", IDC_CHECK, 10, 130, 50, 10, CV | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {"CONTROL", "Button", "A", IDC_RADIO_A, 10, 145, 20, 10, CV | BS_AUTORADIOBUTTON | WS_GROUP, 0},
    {"CONTROL", "Button", "B", IDC_RADIO_B, 35, 145, 20, 10, CV | BS_AUTORADIOBUTTON, 0},
    {"CONTROL", "Button", "C", IDC_RADIO_C, 60, 145, 20, 10, CV | BS_AUTORADIOBUTTON, 0},
    {"CONTROL", "Button", "Other", 1010, 90, 145, 40, 10, CV | BS_AUTORADIOBUTTON | WS_GROUP, 0},
    {"PUSHBUTTON", "Button", "Action", 0x3F3, 10, 165, 40, 14, CV | WS_TABSTOP | WS_DISABLED, 0},
    {"PUSHBUTTON", "Button", "https://link.example/", IDC_LINK, 60, 165, 80, 14, CV | WS_TABSTOP, 0},
    {"PUSHBUTTON", "Button", "Plain", IDC_PLAIN, 150, 165, 30, 14, CV | WS_TABSTOP, 0},
};

class RcParserTest : public SimTest {};

TEST_F(RcParserTest, EveryControlOfTheTemplateInOrder) {
  const sim::DialogTemplate* t = sim::Template(IDD_ALL);
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->controls.size(), std::size(kAllControls));
  for (size_t i = 0; i < std::size(kAllControls); ++i) {
    const ControlRow& want = kAllControls[i];
    const sim::TemplateControl& got = t->controls[i];
    SCOPED_TRACE("control #" + std::to_string(i + 1) + " " + want.text);
    EXPECT_EQ(got.statement, want.statement);
    EXPECT_EQ(got.window_class, want.window_class);
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.style, want.style) << std::hex << got.style << " vs " << want.style;
    EXPECT_EQ(got.ex_style, want.ex_style);
  }
}

TEST_F(RcParserTest, DialogHeaders) {
  struct Row {
    int id;
    DWORD style;
    DWORD ex_style;
    const char* caption;
    const char* font;
    int points;
    int cx, cy;
  } rows[] = {
      {IDD_ALL,
       DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT,
       WS_EX_APPWINDOW, "All \"kinds\" \\ here", "MS Gothic", 9, 300, 200},
      // No STYLE: the compiler's default, plus WS_CAPTION for the caption.
      {IDD_SMALL, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION, 0, "Small", "", 0, 100, 50},
      {IDD_NOSYSMENU, WS_POPUP | WS_CAPTION, 0, "", "", 0, 100, 50},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    const sim::DialogTemplate* t = sim::Template(r.id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->style, r.style) << std::hex << t->style;
    EXPECT_EQ(t->ex_style, r.ex_style);
    EXPECT_EQ(t->caption, r.caption);
    EXPECT_EQ(t->font_face, r.font);
    EXPECT_EQ(t->font_points, r.points);
    EXPECT_EQ(t->cx, r.cx);
    EXPECT_EQ(t->cy, r.cy);
  }
  EXPECT_EQ(sim::Template(12345), nullptr);
}

TEST_F(RcParserTest, StringsAndSymbols) {
  EXPECT_EQ(sim::String(IDS_HELLO), "Hello, world");
  EXPECT_EQ(sim::String(IDS_QUOTE), "say \"hi\" & go");
  ASSERT_TRUE(sim::String(IDS_LONG).has_value());
  EXPECT_EQ(sim::String(IDS_LONG)->size(), 600u);
  EXPECT_FALSE(sim::String(IDS_EMPTY_NEIGHBOUR).has_value());
  EXPECT_EQ(sim::Symbol("IDC_RADIO_OTHER"), 1010);  // an expression of another #define
  EXPECT_EQ(sim::Symbol("IDC_ACTION"), 0x3F3);
  EXPECT_EQ(sim::Symbol("IDC_STATIC"), -1);
  EXPECT_FALSE(sim::Symbol("NO_SUCH_NAME").has_value());
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

TEST_F(RcParserTest, MalformedScriptsNameFileAndLine) {
  struct Row {
    const char* why;
    const char* script;
    const char* message;
  } rows[] = {
      {"unknown statement", "1 DIALOGEX 0,0,10,10\nBEGIN\n  LISTBOX 5, 1,1,1,1\nEND\n", ":3: unsupported dialog statement LISTBOX"},
      {"unknown name", "1 DIALOGEX 0,0,10,10\nSTYLE WS_POPUP | WS_BOGUS\nBEGIN\nEND\n", ":2: unknown name WS_BOGUS"},
      {"missing comma", "1 DIALOGEX 0,0,10,10\nBEGIN\n  EDITTEXT 5 1,1,1,1\nEND\n", ":3: expected ','"},
      {"missing END", "1 DIALOGEX 0,0,10,10\nBEGIN\n  EDITTEXT 5, 1,1,1,1\n", "dialog without END"},
      {"unterminated string", "STRINGTABLE\nBEGIN\n 1 \"abc\nEND\n", "unterminated string"},
      {"string without text", "STRINGTABLE\nBEGIN\n 1 2\nEND\n", "expected the string of id 1"},
  };
  std::string header = WriteTemp("afx_bad.h", "#define X 1\n");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    std::string rc = WriteTemp("afx_bad.rc", r.script);
    try {
      sim::detail::ParseResources(rc, header);
      ADD_FAILURE() << "parsed without error";
    } catch (const std::runtime_error& e) {
      std::string what = e.what();
      EXPECT_NE(what.find(rc), std::string::npos) << what;
      EXPECT_NE(what.find(r.message), std::string::npos) << what;
    }
  }
}

#ifdef AFX_TEST_RES
// Reads the DIALOGEX resources of a compiled .res file (UTF-16 strings,
// DWORD-aligned records) so the parser can be held against the compiler.
struct BinReader {
  const std::string& b;
  size_t p;
  unsigned U16() { unsigned v = static_cast<unsigned char>(b[p]) | static_cast<unsigned char>(b[p + 1]) << 8; p += 2; return v; }
  uint32_t U32() { uint32_t lo = U16(); return lo | static_cast<uint32_t>(U16()) << 16; }
  int S16() { return static_cast<int16_t>(U16()); }
  // A name or ordinal: ordinals come back as "#n".
  std::string Id() {
    if (U16() == 0xFFFF) return "#" + std::to_string(U16());
    p -= 2;
    std::string s;
    for (unsigned c; (c = U16()) != 0;) s += static_cast<char>(c);
    return s;
  }
  void Align() { p = (p + 3) & ~static_cast<size_t>(3); }
};

TEST_F(RcParserTest, AgreesWithTheResourceCompiler) {
  std::ifstream in(AFX_TEST_RES, std::ios::binary);
  ASSERT_TRUE(in) << AFX_TEST_RES;
  std::string res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int dialogs = 0;
  for (size_t pos = 0; pos + 8 <= res.size();) {
    size_t start = pos;
    BinReader h{res, pos};
    uint32_t data_size = h.U32(), header_size = h.U32();
    std::string type = h.Id(), name = h.Id();
    size_t next = (pos + header_size + data_size + 3) & ~static_cast<size_t>(3);
    pos = next;
    if (type != "#5") continue;
    ++dialogs;
    SCOPED_TRACE(name);
    const sim::DialogTemplate* t = sim::Template(std::stoi(name.substr(1)));
    ASSERT_NE(t, nullptr);
    BinReader r{res, start + header_size};
    // DIALOGEX starts with version 1 and 0xFFFF; DIALOG with the style.
    unsigned version = r.U16(), signature = r.U16();
    bool ex = version == 1 && signature == 0xFFFF;
    if (ex) {
      r.U32();  // help id
      EXPECT_EQ(r.U32(), t->ex_style);
      EXPECT_EQ(r.U32(), t->style) << std::hex << t->style;
    } else {
      r.p -= 4;
      EXPECT_EQ(r.U32(), t->style) << std::hex << t->style;
      EXPECT_EQ(r.U32(), t->ex_style);
    }
    size_t count = r.U16();
    r.p += 8;  // rectangle
    r.Id();    // menu
    r.Id();    // class
    EXPECT_EQ(r.Id(), t->caption);
    if (t->style & DS_SETFONT) {
      EXPECT_EQ(static_cast<int>(r.U16()), t->font_points);
      if (ex) r.p += 4;  // weight, italic, charset
      EXPECT_EQ(r.Id(), t->font_face);
    }
    ASSERT_EQ(count, t->controls.size());
    for (const sim::TemplateControl& c : t->controls) {
      SCOPED_TRACE("control " + c.text);
      r.Align();
      DWORD style, ex_style;
      if (ex) {
        r.U32();  // help id
        ex_style = r.U32();
        style = r.U32();
      } else {
        style = r.U32();
        ex_style = r.U32();
      }
      EXPECT_EQ(style, c.style) << std::hex << c.style;
      EXPECT_EQ(ex_style, c.ex_style);
      EXPECT_EQ(r.S16(), c.x);
      EXPECT_EQ(r.S16(), c.y);
      int cx = r.S16(), cy = r.S16();
      // This compiler stores an ICON control's size as 0 x 0 (the icon sizes
      // itself); the template keeps the written size.
      if (c.statement != "ICON") {
        EXPECT_EQ(cx, c.cx);
        EXPECT_EQ(cy, c.cy);
      }
      int id = ex ? static_cast<int>(r.U32()) : static_cast<int16_t>(r.U16());
      EXPECT_EQ(id, c.id);
      r.Id();  // class: an ordinal or an upper-cased name
      EXPECT_EQ(r.Id(), c.text);
      unsigned extra = r.U16();
      r.p += extra;
    }
  }
  EXPECT_EQ(dialogs, 3);
}
#endif

}  // namespace
