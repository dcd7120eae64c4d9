// Applies the schema (db/schema/<provider>.sql, built into the program) to a database. Every
// statement of the schema is idempotent, so applying it again to an existing database only
// adds what is missing. SQLite database files are created when missing.
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
