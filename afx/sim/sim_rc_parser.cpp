// Parser of the resource script subset the program uses: DIALOG(EX)
// templates, STRINGTABLE, ICON; every other resource is skipped.
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "afx/sim/sim_rc_lexer.h"
#include "afx/sim/sim_rc_symbols.h"
#include "afx/sim/sim_resources.h"

namespace sim {
namespace detail {
namespace {

// Each written style term either ORs bits in or (after NOT) clears them.
typedef std::vector<std::pair<bool, long>> StyleTerms;

DWORD ApplyStyle(DWORD start, const StyleTerms& terms) {
  for (const auto& t : terms) {
    if (t.first) {
      start &= ~static_cast<DWORD>(t.second);
    } else {
      start |= static_cast<DWORD>(t.second);
    }
  }
  return start;
}

// Statement defaults of the resource compiler: `def` when no style is
// written, `base` under a written style.
struct StatementInfo {
  const char* name;
  const char* window_class;
  DWORD def;
  DWORD base;
  bool text_first;
};

const StatementInfo kStatements[] = {
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP, true},
    {"GROUPBOX", "Button", BS_GROUPBOX, BS_GROUPBOX, true},
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, SS_LEFT, true},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, SS_RIGHT, true},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, SS_CENTER, true},
    {"ICON", "Static", SS_ICON, SS_ICON, true},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, ES_LEFT | WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, 0, false},
    {"CONTROL", "", 0, 0, true},
};

const StatementInfo* FindStatement(const std::string& name) {
  for (const StatementInfo& s : kStatements) {
    if (name == s.name) return &s;
  }
  return nullptr;
}

class Parser {
 public:
  Parser(const std::vector<Token>& tokens, const std::string& file,
         const std::map<std::string, long>& symbols)
      : t_(tokens), file_(file), symbols_(symbols) {}

  void Run(Resources& out);
  long Expr();  // a numeric expression (no NOT)

  bool AtEnd() const { return Peek().kind == Token::End; }

 private:
  const Token& Peek() const { return t_[pos_]; }
  const Token& Next() {
    const Token& t = t_[pos_];
    if (t.kind != Token::End) ++pos_;
    return t;
  }
  bool PeekPunct(char c) const { return Peek().kind == Token::Punct && Peek().text[0] == c; }
  bool PeekWord(const char* w) const { return Peek().kind == Token::Ident && Peek().text == w; }
  bool PeekBegin() const { return PeekWord("BEGIN") || PeekPunct('{'); }
  bool PeekEnd() const { return PeekWord("END") || PeekPunct('}'); }
  [[noreturn]] void Error(const std::string& what) const { Fail(file_, Peek().line, what); }
  void ExpectComma() {
    if (!PeekPunct(',')) Error("expected ','");
    Next();
  }
  bool SkipComma() {
    if (!PeekPunct(',')) return false;
    Next();
    return true;
  }

  long Sum();
  long Unary();
  long Lookup(const Token& t) const;
  StyleTerms Style();
  int ResourceId(const Token& t) const;
  void SkipBlock();
  void SkipResource();
  void ParseStringTable(Resources& out);
  void ParseDialog(int id, Resources& out);
  void ParseControl(DialogTemplate& d);
  // Reads "x, y, cx, cy" in dialog units.
  template <class Rect> void ReadRect(Rect& r) {
    r.x = static_cast<int>(Expr());
    ExpectComma();
    r.y = static_cast<int>(Expr());
    ExpectComma();
    r.cx = static_cast<int>(Expr());
    ExpectComma();
    r.cy = static_cast<int>(Expr());
  }

  const std::vector<Token>& t_;
  size_t pos_ = 0;
  std::string file_;
  const std::map<std::string, long>& symbols_;
};

long Parser::Lookup(const Token& t) const {
  auto it = symbols_.find(t.text);
  if (it == symbols_.end()) Fail(file_, t.line, "unknown name " + t.text);
  return it->second;
}

long Parser::Unary() {
  if (PeekPunct('-')) {
    Next();
    return -Unary();
  }
  if (PeekPunct('~')) {
    Next();
    return ~Unary();
  }
  if (PeekPunct('(')) {
    Next();
    long v = Expr();
    if (!PeekPunct(')')) Error("expected ')'");
    Next();
    return v;
  }
  const Token& t = Next();
  if (t.kind == Token::Number) return t.value;
  if (t.kind == Token::Ident && t.text != "NOT") return Lookup(t);
  Fail(file_, t.line, "expected a number or a name");
}

long Parser::Sum() {
  long v = Unary();
  while (PeekPunct('+') || PeekPunct('-')) {
    bool plus = Next().text[0] == '+';
    long r = Unary();
    v = plus ? v + r : v - r;
  }
  return v;
}

long Parser::Expr() {
  long v = Sum();
  while (PeekPunct('|')) {
    Next();
    v |= Sum();
  }
  return v;
}

StyleTerms Parser::Style() {
  StyleTerms terms;
  do {
    bool clear = false;
    if (PeekWord("NOT")) {
      Next();
      clear = true;
    }
    terms.push_back({clear, Sum()});
    if (!PeekPunct('|')) return terms;
    Next();
  } while (true);
}

int Parser::ResourceId(const Token& t) const {
  if (t.kind == Token::Number) return static_cast<int>(t.value);
  if (t.kind == Token::Ident && symbols_.count(t.text)) return static_cast<int>(Lookup(t));
  Fail(file_, t.line, "resource name must be a number or a #define: " + t.text);
}

void Parser::SkipBlock() {
  // The BEGIN has been read; skip to its END.
  for (int depth = 1; depth > 0;) {
    if (AtEnd()) Error("missing END");
    if (PeekBegin()) ++depth;
    if (PeekEnd()) --depth;
    Next();
  }
}

void Parser::SkipResource() {
  // Either a file name ("name TYPE [options] "file"") or a BEGIN ... END block.
  for (;;) {
    if (AtEnd()) Error("resource without body");
    if (PeekBegin()) {
      Next();
      SkipBlock();
      return;
    }
    if (Next().kind == Token::String) return;
  }
}

void Parser::ParseStringTable(Resources& out) {
  while (!PeekBegin()) {
    if (AtEnd()) Error("STRINGTABLE without BEGIN");
    if (PeekWord("LANGUAGE")) {
      Next();
      Expr();
      ExpectComma();
      Expr();
      continue;
    }
    Next();  // memory options
  }
  Next();
  while (!PeekEnd()) {
    if (AtEnd()) Error("STRINGTABLE without END");
    UINT id = static_cast<UINT>(Expr());
    SkipComma();
    if (Peek().kind != Token::String) Error("expected the string of id " + std::to_string(id));
    std::string text;
    while (Peek().kind == Token::String) text += Next().text;  // adjacent strings join
    out.strings[id] = text;
  }
  Next();
}

void Parser::ParseControl(DialogTemplate& d) {
  const Token& word = Next();
  const StatementInfo* info = word.kind == Token::Ident ? FindStatement(word.text) : nullptr;
  if (info == nullptr) Fail(file_, word.line, "unsupported dialog statement " + word.text);
  TemplateControl c;
  c.statement = info->name;
  c.window_class = info->window_class;
  if (info->text_first) {
    const Token& text = Next();
    if (text.kind == Token::String) {
      c.text = text.text;
    } else if (c.statement == "ICON" || c.statement == "CONTROL") {
      c.text = "#" + std::to_string(ResourceId(text));  // a resource (icon) by id
    } else {
      Fail(file_, text.line, "expected the control's text");
    }
    ExpectComma();
  }
  c.id = static_cast<int>(Expr());
  ExpectComma();
  StyleTerms style;
  bool has_style = false;
  if (c.statement == "CONTROL") {
    const Token& cls = Next();
    if (cls.kind != Token::String && cls.kind != Token::Ident) Error("expected a window class");
    c.window_class = cls.text;
    ExpectComma();
    style = Style();
    has_style = true;
    ExpectComma();
  }
  ReadRect(c);
  if (c.statement != "CONTROL" && SkipComma()) {
    style = Style();
    has_style = true;
  }
  if (SkipComma()) c.ex_style = ApplyStyle(0, Style());
  if (SkipComma()) Expr();  // help id
  DWORD start = WS_CHILD | WS_VISIBLE | (has_style ? info->base : info->def);
  c.style = ApplyStyle(start, style);
  d.controls.push_back(c);
}

void Parser::ParseDialog(int id, Resources& out) {
  DialogTemplate d;
  d.id = id;
  ReadRect(d);
  if (SkipComma()) Expr();  // help id
  bool has_style = false, has_caption = false, has_font = false;
  StyleTerms style;
  while (!PeekBegin()) {
    const Token& w = Next();
    if (w.kind != Token::Ident) Fail(file_, w.line, "expected a dialog statement");
    if (w.text == "STYLE") {
      style = Style();
      has_style = true;
    } else if (w.text == "EXSTYLE") {
      d.ex_style = ApplyStyle(0, Style());
    } else if (w.text == "CAPTION") {
      if (Peek().kind != Token::String) Error("CAPTION needs a string");
      d.caption = Next().text;
      has_caption = true;
    } else if (w.text == "FONT") {
      d.font_points = static_cast<int>(Expr());
      ExpectComma();
      if (Peek().kind != Token::String) Error("FONT needs a face name");
      d.font_face = Next().text;
      while (SkipComma()) Expr();  // weight, italic, charset
      has_font = true;
    } else if (w.text == "LANGUAGE") {
      Expr();
      ExpectComma();
      Expr();
    } else if (w.text == "MENU" || w.text == "CLASS") {
      Next();
    } else if (w.text == "CHARACTERISTICS" || w.text == "VERSION") {
      Expr();
    } else {
      Fail(file_, w.line, "unsupported dialog header statement " + w.text);
    }
  }
  Next();
  // The compiler adds WS_CAPTION for CAPTION and DS_SETFONT for FONT.
  d.style = has_style ? ApplyStyle(0, style) : (WS_POPUP | WS_BORDER | WS_SYSMENU);
  if (has_caption) d.style |= WS_CAPTION;
  if (has_font) d.style |= DS_SETFONT;
  while (!PeekEnd()) {
    if (AtEnd()) Error("dialog without END");
    ParseControl(d);
  }
  Next();
  out.dialogs[id] = d;
}

void Parser::Run(Resources& out) {
  while (!AtEnd()) {
    if (PeekWord("LANGUAGE")) {
      Next();
      Expr();
      ExpectComma();
      Expr();
      continue;
    }
    if (PeekWord("STRINGTABLE")) {
      Next();
      ParseStringTable(out);
      continue;
    }
    const Token& name = Next();
    const Token& type = Next();
    if (type.kind == Token::Ident && (type.text == "DIALOGEX" || type.text == "DIALOG")) {
      ParseDialog(ResourceId(name), out);
    } else if (type.kind == Token::Ident && type.text == "ICON") {
      int id = ResourceId(name);
      while (Peek().kind == Token::Ident) Next();  // memory options
      if (Peek().kind != Token::String) Error("ICON needs a file name");
      out.icons[id] = Next().text;
    } else {
      SkipResource();
    }
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Adds the #defines whose value is an expression; others (strings, macros
// of macros that fail) are left out.
void AddDefines(const RcLexer& lexer, const std::string& file, std::map<std::string, long>& symbols) {
  for (const Define& d : lexer.Defines()) {
    RcLexer body(d.body, file);
    Parser p(body.Tokens(), file, symbols);
    try {
      long v = p.Expr();
      if (p.AtEnd()) symbols[d.name] = v;
    } catch (const std::runtime_error&) {
    }
  }
}

}  // namespace

Resources ParseResources(const std::string& rc_path, const std::string& header_path) {
  Resources out;
  out.rc_path = rc_path;
  out.header_path = header_path;
  out.symbols = BuiltinSymbols();
  RcLexer header(ReadFile(header_path), header_path);
  AddDefines(header, header_path, out.symbols);
  RcLexer script(ReadFile(rc_path), rc_path);
  AddDefines(script, rc_path, out.symbols);
  Parser parser(script.Tokens(), rc_path, out.symbols);
  parser.Run(out);
  return out;
}

}  // namespace detail
}  // namespace sim
