// Tokenizer for resource scripts and headers.
#include "afx/sim/sim_rc_lexer.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace sim {
namespace detail {

void Fail(const std::string& file, int line, const std::string& message) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + message);
}

RcLexer::RcLexer(const std::string& text, const std::string& file) : file_(file) { Run(text); }

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Decodes one backslash escape starting after the backslash; advances i.
char DecodeEscape(const std::string& s, size_t& i) {
  char c = s[i++];
  switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'a': return '\a';
    case '0': return '\0';
    case 'x': {
      int v = 0;
      for (int k = 0; k < 2 && i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])); ++k)
        v = v * 16 + std::stoi(std::string(1, s[i++]), nullptr, 16);
      return static_cast<char>(v);
    }
    default: return c;  // \\ and \" and unknown escapes give the character
  }
}

}  // namespace

void RcLexer::Run(const std::string& s) {
  int line = 1;
  bool line_start = true;
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\n') {
      ++line;
      line_start = true;
      ++i;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
      while (i < s.size() && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      size_t end = s.find("*/", i + 2);
      if (end == std::string::npos) Fail(file_, line, "unterminated comment");
      for (size_t k = i; k < end; ++k) line += s[k] == '\n';
      i = end + 2;
      continue;
    }
    if (c == '#' && line_start) {
      size_t end = s.find('\n', i);
      std::string directive = s.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      size_t cut = directive.find("//");
      if (cut != std::string::npos) directive.resize(cut);
      size_t p = directive.find_first_not_of(" \t");
      if (p != std::string::npos && directive.compare(p, 6, "define") == 0) {
        size_t n0 = directive.find_first_not_of(" \t", p + 6);
        size_t n1 = n0 == std::string::npos ? n0 : directive.find_first_of(" \t(", n0);
        if (n0 != std::string::npos && n1 != std::string::npos && directive[n1] != '(') {
          defines_.push_back({directive.substr(n0, n1 - n0), directive.substr(n1), line});
        }
      }
      i = end == std::string::npos ? s.size() : end;
      continue;
    }
    line_start = false;
    if (c == '"') {
      std::string text;
      ++i;
      for (;;) {
        if (i >= s.size()) Fail(file_, line, "unterminated string");
        char d = s[i++];
        if (d == '"') {
          if (i < s.size() && s[i] == '"') {
            text += '"';
            ++i;
            continue;
          }
          break;
        }
        if (d == '\\' && i < s.size()) {
          text += DecodeEscape(s, i);
          continue;
        }
        if (d == '\n') ++line;
        text += d;
      }
      tokens_.push_back({Token::String, text, 0, line});
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
      // Decimal unless 0x: the resource compiler has no octal.
      bool hex = c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X');
      char* end = nullptr;
      long v = std::strtol(s.c_str() + i, &end, hex ? 16 : 10);
      i = static_cast<size_t>(end - s.c_str());
      while (i < s.size() && (s[i] == 'L' || s[i] == 'l' || s[i] == 'U' || s[i] == 'u')) ++i;
      tokens_.push_back({Token::Number, "", v, line});
      continue;
    }
    if (IsIdentStart(c)) {
      size_t j = i;
      while (j < s.size() && IsIdentChar(s[j])) ++j;
      tokens_.push_back({Token::Ident, s.substr(i, j - i), 0, line});
      i = j;
      continue;
    }
    tokens_.push_back({Token::Punct, std::string(1, c), 0, line});
    ++i;
  }
  tokens_.push_back({Token::End, "", 0, line});
}

}  // namespace detail
}  // namespace sim
