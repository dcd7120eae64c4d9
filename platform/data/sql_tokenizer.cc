#include "platform/data/sql_tokenizer.h"

#include <cctype>

#include "platform/automation/class_info.h"

namespace quorvan::data {
namespace {

bool IsWordStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool IsWordPart(char c) {
  return IsWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$';
}

// End of a quoted run starting at `pos` (the opening quote); a doubled closing quote is part
// of the text.
size_t QuotedEnd(std::string_view text, size_t pos, char close) {
  size_t i = pos + 1;
  while (i < text.size()) {
    if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close && close != ']') {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return text.size();
}

}  // namespace

bool SqlToken::IsWord(std::string_view upper_keyword) const {
  return kind == TokenKind::kWord && EqualsIgnoringCase(text, upper_keyword);
}

std::vector<SqlToken> TokenizeSql(std::string_view text) {
  std::vector<SqlToken> tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    size_t end = pos + 1;
    TokenKind kind = TokenKind::kSymbol;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      kind = TokenKind::kSpace;
      while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    } else if (c == '\'') {
      kind = TokenKind::kString;
      end = QuotedEnd(text, pos, '\'');
    } else if (c == '"' || c == '`') {
      kind = TokenKind::kQuotedName;
      end = QuotedEnd(text, pos, c);
    } else if (c == '[') {
      kind = TokenKind::kQuotedName;
      end = QuotedEnd(text, pos, ']');
    } else if (c == '-' && pos + 1 < text.size() && text[pos + 1] == '-') {
      kind = TokenKind::kComment;
      end = text.find('\n', pos);
      end = end == std::string_view::npos ? text.size() : end;
    } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '*') {
      kind = TokenKind::kComment;
      end = text.find("*/", pos + 2);
      end = end == std::string_view::npos ? text.size() : end + 2;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && pos + 1 < text.size() &&
                std::isdigit(static_cast<unsigned char>(text[pos + 1])))) {
      kind = TokenKind::kNumber;
      while (end < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
    } else if (IsWordStart(c)) {
      kind = TokenKind::kWord;
      while (end < text.size() && IsWordPart(text[end])) ++end;
    }
    tokens.push_back(SqlToken{kind, std::string(text.substr(pos, end - pos))});
    pos = end;
  }
  return tokens;
}

std::string JoinTokens(const std::vector<SqlToken>& tokens) {
  std::string text;
  for (const SqlToken& token : tokens) text += token.text;
  return text;
}

}  // namespace quorvan::data
