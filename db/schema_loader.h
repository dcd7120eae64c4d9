// Applies the schema (db/schema/<provider>.sql) and the reference data (db/data/labels.sql:
// label texts and installed languages), both built into the program, to a database. Every
// statement is idempotent, so applying them again to an existing database only adds what is
// missing and refreshes the label texts. SQLite database files are created when missing.
#pragma once

#include <string>
#include <vector>

namespace quorvan::db {

// Applies the schema of the connection string's provider; returns the number of statements
// run. Raises the provider's error (with the failing statement's first line appended) on
// failure.
int ApplySchema(const std::string& connection_string);

// The statements of a schema text: split at ";" at the end of a line; comment lines dropped.
std::vector<std::string> SplitSchema(const std::string& text);

const std::string& SchemaText(bool postgresql);

}  // namespace quorvan::db
