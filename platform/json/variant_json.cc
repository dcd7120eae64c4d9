#include "platform/json/variant_json.h"

#include <Poco/Dynamic/Var.h>
#include <Poco/Exception.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>
#include <Poco/JSON/Parser.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/automation/automation_date.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/error_record.h"
#include "platform/automation/numeric_text.h"
#include "platform/automation/object.h"
#include "platform/automation/safe_array.h"
#include "platform/data/recordset.h"

namespace quorvan::json {
namespace {

using Poco::Dynamic::Var;
using Poco::JSON::Array;
using Poco::JSON::Object;

[[noreturn]] void Malformed(const std::string& what) { throw JsonFormError(what); }

std::string DoubleText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

double NumberOf(const Var& json, const char* tag) {
  if (!json.isNumeric()) Malformed(std::string(tag) + " needs a number");
  return json.convert<double>();
}

// --- reading ----------------------------------------------------------------------------

Variant ArrayFrom(const Array& items, int32_t lower_bound, const ReadContext& context) {
  std::vector<Variant> elements;
  elements.reserve(items.size());
  for (unsigned i = 0; i < items.size(); ++i) elements.push_back(FromJson(items.get(i), context));
  return Variant::FromArray(SafeArray(std::move(elements), lower_bound));
}

Variant Array2From(const Object& object, const ReadContext& context) {
  const auto rows = object.getArray("$array2");
  if (!rows) Malformed("$array2 needs a list of rows");
  int32_t lower[2] = {0, 0};
  if (object.has("$lbounds")) {
    const auto bounds = object.getArray("$lbounds");
    if (!bounds || bounds->size() != 2) Malformed("$lbounds needs two numbers");
    for (unsigned i = 0; i < 2; ++i)
      lower[i] = static_cast<int32_t>(NumberOf(bounds->get(i), "$lbounds"));
  }
  const auto row_count = static_cast<int32_t>(rows->size());
  const auto first = row_count ? rows->getArray(0) : nullptr;
  const int32_t column_count = first ? static_cast<int32_t>(first->size()) : 0;
  SafeArray grid(ArrayBounds{lower[0], row_count}, ArrayBounds{lower[1], column_count});
  for (int32_t r = 0; r < row_count; ++r) {
    const auto row = rows->getArray(static_cast<unsigned>(r));
    if (!row || static_cast<int32_t>(row->size()) != column_count) {
      Malformed("$array2 rows must be lists of equal length");
    }
    for (int32_t c = 0; c < column_count; ++c) {
      grid.at(lower[0] + r, lower[1] + c) = FromJson(row->get(static_cast<unsigned>(c)), context);
    }
  }
  return Variant::FromArray(std::move(grid));
}

Variant DictionaryFrom(const Var& pairs_json, const ReadContext& context) {
  if (pairs_json.type() != typeid(Array::Ptr)) Malformed("$dict needs a list of [key, item] pairs");
  const auto pairs = pairs_json.extract<Array::Ptr>();
  auto dictionary = Dictionary::Create();
  for (unsigned i = 0; i < pairs->size(); ++i) {
    const auto pair = pairs->getArray(i);
    if (!pair || pair->size() != 2) Malformed("$dict needs [key, item] pairs");
    try {
      dictionary->Add(FromJson(pair->get(0), context), FromJson(pair->get(1), context));
    } catch (const AutomationError& e) {
      Malformed("$dict: " + e.record().description);
    }
  }
  return Variant(dictionary);
}

Variant TaggedFrom(const Object& object, const ReadContext& context) {
  if (object.size() == 0) Malformed("an empty object is no value");
  std::string tag;
  for (const auto& [key, value] : object) {
    if (key.rfind("$", 0) != 0) Malformed("unknown key \"" + key + "\" in a value");
    if (key != "$lbound" && key != "$lbounds") tag = key;
  }
  const Var& value = object.get(tag);
  const auto expect_size = [&](size_t size) {
    if (object.size() != size) Malformed(tag + " takes no other keys");
  };
  if (tag == "$empty" || tag == "$missing" || tag == "$nothing") {
    expect_size(1);
    if (!value.isBoolean() || !value.convert<bool>()) Malformed(tag + " must be true");
    if (tag == "$empty") return Variant();
    return tag == "$missing" ? Variant::Missing() : Variant::Nothing();
  }
  if (tag == "$array") {
    if (value.type() != typeid(Array::Ptr)) Malformed("$array needs a list");
    const int32_t lower = object.has("$lbound")
                              ? static_cast<int32_t>(NumberOf(object.get("$lbound"), "$lbound"))
                              : 0;
    return ArrayFrom(*value.extract<Array::Ptr>(), lower, context);
  }
  if (tag == "$array2") return Array2From(object, context);
  expect_size(1);
  try {
    if (tag == "$double") {
      if (value.isString()) return Variant(std::strtod(value.toString().c_str(), nullptr));
      return Variant(NumberOf(value, "$double"));
    }
    if (tag == "$int") return Variant(Variant(NumberOf(value, "$int")).ToInteger());
    if (tag == "$byte") return Variant::FromByte(Variant(NumberOf(value, "$byte")).ToByte());
    if (tag == "$single")
      return Variant::FromSingle(static_cast<float>(NumberOf(value, "$single")));
    if (tag == "$currency") {
      if (!value.isString()) Malformed("$currency needs text");
      return Variant(Variant(value.toString()).ToCurrency());
    }
    if (tag == "$date") {
      if (!value.isString()) Malformed("$date needs text");
      const auto serial = ParseIsoDate(value.toString());
      if (!serial) Malformed("$date needs YYYY-MM-DDThh:mm:ss[.fff], got " + value.toString());
      return Variant::FromDate(*serial);
    }
  } catch (const AutomationError& e) {
    Malformed(tag + ": " + e.record().description);
  }
  if (tag == "$dict") return DictionaryFrom(value, context);
  if (tag == "$object" || tag == "$var") {
    if (!value.isString()) Malformed(tag + " needs a variable name");
    if (!context.object_variable) Malformed(tag + " is only known inside a script");
    return context.object_variable(value.toString());
  }
  Malformed("unknown tag \"" + tag + "\"");
}

// --- writing ----------------------------------------------------------------------------

void WriteValue(const Variant& value, const WriteContext& context, std::string& out);

void WriteElements(const std::vector<Variant>& elements, size_t begin, size_t end,
                   const WriteContext& context, std::string& out) {
  out += '[';
  for (size_t i = begin; i < end; ++i) {
    if (i > begin) out += ", ";
    WriteValue(elements[i], context, out);
  }
  out += ']';
}

void WriteArray(const SafeArray& array, const WriteContext& context, std::string& out) {
  const auto& elements = array.elements();
  if (array.dimensions() == 1) {
    if (array.LBound() == 0) return WriteElements(elements, 0, elements.size(), context, out);
    out += "{\"$array\": ";
    WriteElements(elements, 0, elements.size(), context, out);
    out += ", \"$lbound\": " + std::to_string(array.LBound()) + "}";
    return;
  }
  const auto columns = static_cast<size_t>(array.bounds(2).count);
  out += "{\"$array2\": [";
  for (int32_t row = 0; row < array.bounds(1).count; ++row) {
    if (row > 0) out += ", ";
    const size_t begin = static_cast<size_t>(row) * columns;
    WriteElements(elements, begin, begin + columns, context, out);
  }
  out += "], \"$lbounds\": [" + std::to_string(array.LBound(1)) + ", " +
         std::to_string(array.LBound(2)) + "]}";
}

void WriteObject(const ObjectPtr& object, const WriteContext& context, std::string& out) {
  if (!object) {
    out += "{\"$nothing\": true}";
    return;
  }
  if (const auto* dictionary = dynamic_cast<const Dictionary*>(object.get())) {
    out += "{\"$dict\": [";
    bool first = true;
    for (const auto& entry : dictionary->entries()) {
      if (!first) out += ", ";
      first = false;
      out += '[';
      WriteValue(entry.key, context, out);
      out += ", ";
      WriteValue(entry.item, context, out);
      out += ']';
    }
    out += "]}";
    return;
  }
  if (const auto* recordset = dynamic_cast<const data::Recordset*>(object.get());
      recordset && recordset->State() == data::kStateOpen) {
    out += "{\"$recordset\": " + RecordsetJson(*recordset, context) + "}";
    return;
  }
  const std::string name = context.object_name ? context.object_name(object) : object->ClassName();
  out += "{\"$object\": " + QuoteJson(name) + "}";
}

void WriteDouble(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "{\"$double\": " +
           QuoteJson(std::isnan(value) ? "NaN"
                     : value > 0       ? "Infinity"
                                       : "-Infinity") +
           "}";
  } else if (value == std::trunc(value)) {
    out += "{\"$double\": " +
           (std::fabs(value) < 1e17 ? std::to_string(static_cast<int64_t>(value))
                                    : DoubleText(value)) +
           "}";
  } else {
    out += DoubleText(value);
  }
}

void WriteValue(const Variant& value, const WriteContext& context, std::string& out) {
  switch (value.type()) {
    case VarType::kEmpty:
      out += "{\"$empty\": true}";
      return;
    case VarType::kNull:
      out += "null";
      return;
    case VarType::kBoolean:
      out += value.bool_value() ? "true" : "false";
      return;
    case VarType::kLong:
      out += std::to_string(value.long_value());
      return;
    case VarType::kInteger:
      out += "{\"$int\": " + std::to_string(value.integer_value()) + "}";
      return;
    case VarType::kByte:
      out += "{\"$byte\": " + std::to_string(value.byte_value()) + "}";
      return;
    case VarType::kSingle: {
      char buffer[32];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, value.single_value());
      out += "{\"$single\": " + std::string(buffer, result.ptr) + "}";
      return;
    }
    case VarType::kDouble:
      WriteDouble(value.double_value(), out);
      return;
    case VarType::kCurrency:
      out += "{\"$currency\": \"" + FormatCurrencyFixed(value.currency_value().scaled) + "\"}";
      return;
    case VarType::kDate:
      out += "{\"$date\": \"" + FormatIsoDate(value.date_value()) + "\"}";
      return;
    case VarType::kString:
      out += QuoteJson(value.string_ref());
      return;
    case VarType::kObject:
      WriteObject(value.object_ref(), context, out);
      return;
    case VarType::kArray:
      WriteArray(value.array(), context, out);
      return;
    case VarType::kError:
      if (value.IsMissing()) {
        out += "{\"$missing\": true}";
      } else {
        out += "{\"$error\": " + std::to_string(value.error_value()) + "}";
      }
      return;
    default:
      out += "null";
      return;
  }
}

}  // namespace

Var ParseDocument(std::string_view json) {
  try {
    // The parser takes only objects and arrays at the top, so a lone scalar is read as the
    // single element of a list; the parser refuses any excess text after the list.
    Poco::JSON::Parser parser;
    const Var list = parser.parse("[" + std::string(json) + "\n]");
    const auto items = list.extract<Array::Ptr>();
    if (items->size() != 1) throw JsonFormError("malformed JSON: expected one value");
    return items->get(0);
  } catch (const Poco::Exception& e) {
    throw JsonFormError("malformed JSON: " + e.displayText());
  }
}

Variant ParseValue(std::string_view json, const ReadContext& context) {
  return FromJson(ParseDocument(json), context);
}

Variant FromJson(const Var& json, const ReadContext& context) {
  if (json.isEmpty()) return Variant::Null();
  if (json.type() == typeid(Object::Ptr)) return TaggedFrom(*json.extract<Object::Ptr>(), context);
  if (json.type() == typeid(Array::Ptr)) return ArrayFrom(*json.extract<Array::Ptr>(), 0, context);
  if (json.isBoolean()) return Variant(json.convert<bool>());
  if (json.isString()) return Variant(json.toString());
  if (json.isInteger()) {
    const auto integer = json.convert<int64_t>();
    if (integer >= std::numeric_limits<int32_t>::min() &&
        integer <= std::numeric_limits<int32_t>::max()) {
      return Variant(static_cast<int32_t>(integer));
    }
    return Variant(static_cast<double>(integer));
  }
  if (json.isNumeric()) {
    const double number = json.convert<double>();
    return Variant(number);
  }
  Malformed("unsupported JSON value");
}

std::string RecordsetJson(const data::Recordset& recordset, const WriteContext& context) {
  std::string out = "{\"fields\": [";
  for (size_t i = 0; i < recordset.FieldCount(); ++i) {
    out += (i ? ", " : "") + std::string("{\"name\": ") + QuoteJson(recordset.Column(i).name) +
           ", \"type\": " + std::to_string(recordset.Column(i).type) + "}";
  }
  out += "], \"rows\": [";
  bool first = true;
  for (const auto& row : recordset.AllRows()) {
    if (!first) out += ", ";
    first = false;
    WriteElements(row, 0, row.size(), context, out);
  }
  return out + "]}";
}

std::string ToJson(const Variant& value, const WriteContext& context) {
  std::string out;
  WriteValue(value, context, out);
  return out;
}

std::string QuoteJson(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(c));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace quorvan::json
