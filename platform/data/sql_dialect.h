// SqlDialect: rewrites the small statement dialect the components write into what each
// provider runs, token by token, never touching quoted literals:
//
//   SELECT [DISTINCT] TOP n ...            -> SELECT [DISTINCT] ... LIMIT n
//   INSERT T(...) VALUES (...)             -> INSERT INTO T(...) VALUES (...)
//   INSERT INTO T(...) (SELECT ...)        -> INSERT INTO T(...) SELECT ...
//   SET TRANSACTION ISOLATION LEVEL X      -> SQLite: nothing to run (its transactions are
//                                             serializable); PostgreSQL: the session default
//   (A = 'x' OR A = 'y' OR ...)            -> (A IN ('x', 'y', ...)): same rows, no deep tree
//
// One statement per call: text holding a second statement after a ";" is refused (error
// 0x80040E14 from "QuorvanData.Connection"); a single trailing ";" is dropped.
// Stateless; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvan::data {

enum class Provider { kSQLite, kPostgreSQL };

struct DialectStatement {
  std::string sql;            // empty when there is nothing to run
  bool returns_rows = false;  // a SELECT (or WITH ... SELECT)
};

DialectStatement RewriteForProvider(std::string_view statement, Provider provider);

// The single table of a SELECT that reads one table without grouping, joins, DISTINCT or
// aggregates, so that its rows can be written back; nullopt otherwise.
std::optional<std::string> UpdatableTableOf(std::string_view select);

// Adds `expressions` (each "expr AS alias") to the select list of a SELECT, before its
// top-level FROM.
std::string AddSelectColumns(std::string_view select, const std::vector<std::string>& expressions);

}  // namespace quorvan::data
