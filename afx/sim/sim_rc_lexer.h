// sim_rc_lexer.h - tokens of a resource script or header.
//
// Classes in this file:
//   sim::detail::Token     one token with its line
//   sim::detail::RcLexer   splits text into tokens; collects #define lines
#ifndef TARVELLO_AFX_SIM_RC_LEXER_H
#define TARVELLO_AFX_SIM_RC_LEXER_H

#include <string>
#include <utility>
#include <vector>

namespace sim {
namespace detail {

struct Token {
  enum Kind { Ident, Number, String, Punct, End } kind;
  std::string text;   // identifier, punctuation, or the decoded string
  long value;         // Number
  int line;
};

struct Define {
  std::string name;
  std::string body;   // the rest of the line, comments removed
  int line;
};

// Comments are dropped; preprocessor lines are not tokens, but their
// #define lines are returned by Defines(). Strings decode "" to a quote and
// the C escapes \n \r \t \a \\ \" \0 and \xHH.
class RcLexer {
 public:
  RcLexer(const std::string& text, const std::string& file);
  const std::vector<Token>& Tokens() const { return tokens_; }
  const std::vector<Define>& Defines() const { return defines_; }

 private:
  void Run(const std::string& text);
  std::string file_;
  std::vector<Token> tokens_;
  std::vector<Define> defines_;
};

// Throws std::runtime_error("file:line: message").
[[noreturn]] void Fail(const std::string& file, int line, const std::string& message);

}  // namespace detail
}  // namespace sim

#endif  // TARVELLO_AFX_SIM_RC_LEXER_H
