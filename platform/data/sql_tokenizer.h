// SqlTokenizer: splits statement text into tokens without ever looking inside quoted text, so
// that dialect rewrites can never change a literal. Concatenating the tokens' text gives the
// input back exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvan::data {

enum class TokenKind {
  kWord,  // identifier or keyword
  kNumber,
  kString,      // '...' with '' inside
  kQuotedName,  // "...", [...] or `...`
  kSymbol,      // one punctuation character
  kSpace,       // white space
  kComment,     // -- to end of line, /* ... */
};

struct SqlToken {
  TokenKind kind;
  std::string text;
  bool IsWord(std::string_view upper_keyword) const;  // a word equal to the keyword, any case
  bool IsSymbol(char symbol) const {
    return kind == TokenKind::kSymbol && text.size() == 1 && text[0] == symbol;
  }
  bool IsSignificant() const { return kind != TokenKind::kSpace && kind != TokenKind::kComment; }
};

// An unterminated literal or comment runs to the end of the text (the database reports it).
std::vector<SqlToken> TokenizeSql(std::string_view text);

std::string JoinTokens(const std::vector<SqlToken>& tokens);

}  // namespace quorvan::data
