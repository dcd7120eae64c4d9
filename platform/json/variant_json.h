// The JSON form of Variant values, shared by the quorvan tool and the automation gateway.
// Every value round-trips exactly, type included:
//
//   Empty {"$empty": true}       Null null                 Boolean true/false
//   Long 42 (a plain integer in the 32-bit range)          Double 2.5, or {"$double": 5} when
//   integral (read: any plain number that is not a 32-bit integer, or the tagged form)
//   Integer {"$int": 6}  Byte {"$byte": 3}  Single {"$single": 1.5}
//   Currency {"$currency": "12.3400"}   Date {"$date": "2005-07-03T14:30:05[.fff]"}
//   String "text"   missing marker {"$missing": true}   Nothing {"$nothing": true}
//   1-D array with lower bound 0: [..]; other bounds {"$array": [..], "$lbound": 1}
//   2-D array {"$array2": [[a00, a01], [a10, a11]], "$lbounds": [0, 0]}
//   Dictionary {"$dict": [[key, item], ...]} (written by content, read as a new Dictionary)
//   an open Recordset (written only) {"$recordset": {"fields": [...], "rows": [...]}}
//   other objects {"$object": "name"}: a variable of the caller that holds the object
//
// An object with any other "$" key, or a malformed tagged form, is an error (JsonFormError),
// never a silent string. Stateless; thread-safe.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/automation/variant.h"

namespace Poco::Dynamic {
class Var;
}

namespace quorvan::data {
class Recordset;
}

namespace quorvan::json {

// A value that is not in the JSON form: a usage error of the caller, not an automation error.
class JsonFormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Resolves {"$object": name} and {"$var": name} on reading; null when not supported.
struct ReadContext {
  std::function<Variant(const std::string& name)> object_variable;
};
// Names the variable that holds an object on writing.
struct WriteContext {
  std::function<std::string(const ObjectPtr& object)> object_name;
};

Variant ParseValue(std::string_view json, const ReadContext& context = {});
Variant FromJson(const Poco::Dynamic::Var& json, const ReadContext& context = {});
std::string ToJson(const Variant& value, const WriteContext& context = {});

// {"fields": [{"name": ..., "type": ADO type}], "rows": [[...], ...]} of an open row set.
std::string RecordsetJson(const quorvan::data::Recordset& recordset,
                          const WriteContext& context = {});

// JSON string literal with escapes, for writers that build documents around values.
std::string QuoteJson(std::string_view text);

// Parses a whole JSON document; JsonFormError with the parser's message when malformed.
Poco::Dynamic::Var ParseDocument(std::string_view json);

}  // namespace quorvan::json
