#include "platform/data/sql_dialect.h"

#include "platform/automation/class_info.h"
#include "platform/data/ado_constants.h"
#include "platform/data/data_error.h"
#include "platform/data/sql_tokenizer.h"

namespace quorvan::data {
namespace {

constexpr const char* kSource = "QuorvanData.Connection";

// Index of the next significant token at or after `from`, or tokens.size().
size_t NextSignificant(const std::vector<SqlToken>& tokens, size_t from) {
  while (from < tokens.size() && !tokens[from].IsSignificant()) ++from;
  return from;
}

// Index just after the ")" that closes the "(" at `open`, or tokens.size().
size_t MatchingClose(const std::vector<SqlToken>& tokens, size_t open) {
  int depth = 0;
  for (size_t i = open; i < tokens.size(); ++i) {
    if (tokens[i].IsSymbol('(')) ++depth;
    if (tokens[i].IsSymbol(')') && --depth == 0) return i + 1;
  }
  return tokens.size();
}

// Refuses a second statement; drops one trailing ";".
void KeepOneStatement(std::vector<SqlToken>& tokens) {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!tokens[i].IsSymbol(';')) continue;
    if (NextSignificant(tokens, i + 1) != tokens.size()) {
      RaiseProviderError(data_error::kSyntaxError, kSource,
                         "Only one statement can be executed at a time; the text holds a second "
                         "statement after ';'");
    }
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
    return;
  }
}

void RewriteTop(std::vector<SqlToken>& tokens, size_t select) {
  size_t next = NextSignificant(tokens, select + 1);
  if (next < tokens.size() && (tokens[next].IsWord("DISTINCT") || tokens[next].IsWord("ALL"))) {
    next = NextSignificant(tokens, next + 1);
  }
  if (next >= tokens.size() || !tokens[next].IsWord("TOP")) return;
  size_t count = NextSignificant(tokens, next + 1);
  size_t last = count;
  bool parenthesized = count < tokens.size() && tokens[count].IsSymbol('(');
  if (parenthesized) {
    count = NextSignificant(tokens, count + 1);
    last = NextSignificant(tokens, count + 1);
    if (last >= tokens.size() || !tokens[last].IsSymbol(')')) {
      RaiseProviderError(data_error::kSyntaxError, kSource, "TOP needs a number");
    }
  }
  if (count >= tokens.size() || tokens[count].kind != TokenKind::kNumber) {
    RaiseProviderError(data_error::kSyntaxError, kSource, "TOP needs a number");
  }
  const std::string limit = tokens[count].text;
  size_t erase_end = last + 1;
  if (erase_end < tokens.size() && tokens[erase_end].kind == TokenKind::kSpace) ++erase_end;
  tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(next),
               tokens.begin() + static_cast<std::ptrdiff_t>(erase_end));
  while (!tokens.empty() && !tokens.back().IsSignificant()) tokens.pop_back();
  tokens.push_back({TokenKind::kSpace, " "});
  tokens.push_back({TokenKind::kWord, "LIMIT"});
  tokens.push_back({TokenKind::kSpace, " "});
  tokens.push_back({TokenKind::kNumber, limit});
}

void RewriteInsert(std::vector<SqlToken>& tokens, size_t insert) {
  size_t next = NextSignificant(tokens, insert + 1);
  if (next < tokens.size() && !tokens[next].IsWord("INTO")) {
    tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(next),
                  {SqlToken{TokenKind::kWord, "INTO"}, SqlToken{TokenKind::kSpace, " "}});
    next += 2;
  }
  // INTO, table, optional column list, then possibly "(SELECT ...)".
  size_t table = NextSignificant(tokens, next + 1);
  size_t after = NextSignificant(tokens, table + 1);
  if (after < tokens.size() && tokens[after].IsSymbol('(')) {
    const size_t first_inside = NextSignificant(tokens, after + 1);
    if (first_inside < tokens.size() && tokens[first_inside].IsWord("SELECT")) {
      // "INSERT INTO T (SELECT ...)" without a column list.
    } else {
      after = NextSignificant(tokens, MatchingClose(tokens, after));
    }
  }
  if (after >= tokens.size() || !tokens[after].IsSymbol('(')) return;
  const size_t first_inside = NextSignificant(tokens, after + 1);
  if (first_inside >= tokens.size() || !tokens[first_inside].IsWord("SELECT")) return;
  const size_t close = MatchingClose(tokens, after);
  if (close > tokens.size() || close == 0 || !tokens[close - 1].IsSymbol(')')) return;
  if (NextSignificant(tokens, close) != tokens.size()) return;  // something follows: leave it
  tokens[close - 1] = SqlToken{TokenKind::kSpace, ""};
  tokens[after] = SqlToken{TokenKind::kSpace, ""};
}

bool IsLiteral(const SqlToken& token) {
  return token.kind == TokenKind::kString || token.kind == TokenKind::kNumber;
}

// "(A = x OR A = y OR ...)" becomes "(A IN (x, y, ...))": the same rows, but a flat list
// instead of a deep expression tree (SQLite refuses trees deeper than 1,000, which a few
// hundred ORs reach, and both databases look a list up faster).
void FoldEqualityChains(std::vector<SqlToken>& tokens) {
  for (size_t open = 0; open < tokens.size(); ++open) {
    if (!tokens[open].IsSymbol('(')) continue;
    std::string column;
    std::vector<std::string> literals;
    size_t i = NextSignificant(tokens, open + 1);
    while (true) {
      if (i >= tokens.size() || tokens[i].kind != TokenKind::kWord) break;
      if (!column.empty() && !EqualsIgnoringCase(tokens[i].text, column)) break;
      const size_t equals = NextSignificant(tokens, i + 1);
      const size_t literal = NextSignificant(tokens, equals + 1);
      if (equals >= tokens.size() || !tokens[equals].IsSymbol('=') || literal >= tokens.size() ||
          !IsLiteral(tokens[literal])) {
        break;
      }
      if (column.empty()) column = tokens[i].text;
      literals.push_back(tokens[literal].text);
      i = NextSignificant(tokens, literal + 1);
      if (i < tokens.size() && tokens[i].IsWord("OR")) {
        i = NextSignificant(tokens, i + 1);
        continue;
      }
      if (i < tokens.size() && tokens[i].IsSymbol(')') && literals.size() >= 2) {
        std::string list = column + " IN (";
        for (size_t k = 0; k < literals.size(); ++k) list += (k ? ", " : "") + literals[k];
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(open + 1),
                     tokens.begin() + static_cast<std::ptrdiff_t>(i));
        tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(open + 1),
                      SqlToken{TokenKind::kWord, list + ")"});
      }
      break;
    }
  }
}

bool IsSetTransaction(const std::vector<SqlToken>& tokens, size_t set) {
  const size_t next = NextSignificant(tokens, set + 1);
  return next < tokens.size() && tokens[next].IsWord("TRANSACTION");
}

}  // namespace

DialectStatement RewriteForProvider(std::string_view statement, Provider provider) {
  if (statement.find('\0') != std::string_view::npos) {
    // Both drivers stop reading at a NUL: the rest would be dropped without a word.
    RaiseProviderError(data_error::kSyntaxError, kSource, "The statement holds a NUL character");
  }
  std::vector<SqlToken> tokens = TokenizeSql(statement);
  KeepOneStatement(tokens);
  const size_t first = NextSignificant(tokens, 0);
  DialectStatement result;
  if (first == tokens.size()) return result;
  const SqlToken& verb = tokens[first];
  if (verb.IsWord("SELECT")) {
    result.returns_rows = true;
    RewriteTop(tokens, first);
  } else if (verb.IsWord("WITH") || verb.IsWord("VALUES") || verb.IsWord("PRAGMA") ||
             verb.IsWord("SHOW")) {
    result.returns_rows = true;
  } else if (verb.IsWord("INSERT")) {
    RewriteInsert(tokens, first);
  } else if (verb.IsWord("SET") && IsSetTransaction(tokens, first)) {
    if (provider == Provider::kSQLite) return result;
    const size_t transaction = NextSignificant(tokens, first + 1);
    tokens[transaction].text = "SESSION CHARACTERISTICS AS TRANSACTION";
  }
  FoldEqualityChains(tokens);
  result.sql = JoinTokens(tokens);
  return result;
}

std::optional<std::string> UpdatableTableOf(std::string_view select) {
  const std::vector<SqlToken> tokens = TokenizeSql(select);
  size_t i = NextSignificant(tokens, 0);
  if (i >= tokens.size() || !tokens[i].IsWord("SELECT")) return std::nullopt;
  int depth = 0;
  size_t from = tokens.size();
  for (++i; i < tokens.size(); ++i) {
    const SqlToken& token = tokens[i];
    if (token.IsSymbol('(')) ++depth;
    if (token.IsSymbol(')')) --depth;
    if (depth != 0) continue;
    if (token.IsWord("DISTINCT") || token.IsWord("COUNT") || token.IsWord("SUM") ||
        token.IsWord("MIN") || token.IsWord("MAX") || token.IsWord("AVG")) {
      return std::nullopt;
    }
    if (token.IsWord("FROM")) {
      from = i;
      break;
    }
  }
  const size_t table = NextSignificant(tokens, from + 1);
  if (table >= tokens.size() || tokens[table].kind != TokenKind::kWord) return std::nullopt;
  const size_t after = NextSignificant(tokens, table + 1);
  if (after < tokens.size() && !(tokens[after].IsWord("WHERE") || tokens[after].IsWord("ORDER") ||
                                 tokens[after].IsWord("LIMIT"))) {
    return std::nullopt;  // a join, a second table, an alias, GROUP BY, UNION...
  }
  for (size_t j = after; j < tokens.size(); ++j) {
    if (tokens[j].IsWord("GROUP") || tokens[j].IsWord("UNION") || tokens[j].IsWord("HAVING"))
      return std::nullopt;
  }
  return tokens[table].text;
}

std::string AddSelectColumns(std::string_view select, const std::vector<std::string>& expressions) {
  std::vector<SqlToken> tokens = TokenizeSql(select);
  int depth = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].IsSymbol('(')) ++depth;
    if (tokens[i].IsSymbol(')')) --depth;
    if (depth == 0 && tokens[i].IsWord("FROM")) {
      std::string added;
      for (const std::string& expression : expressions) added += ", " + expression;
      tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                    SqlToken{TokenKind::kWord, added + " "});
      break;
    }
  }
  return JoinTokens(tokens);
}

}  // namespace quorvan::data
