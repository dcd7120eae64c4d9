// The XML persistence format of row sets (PersistFormat 1), as the row-set library writes it:
// root "xml" with the s/dt/rs/z namespaces, a schema declaring every field, and a data section
// with one z:row per row; NULL is an omitted attribute; pending changes sit in rs:insert,
// rs:update (with rs:original) and rs:delete. Written with single quotes, tabs and CR LF, no
// XML declaration; read with any quoting, white space or declaration.
//
// Text must survive whatever a form can post. Tab, CR and LF are written as character
// references (a parser turns raw ones in attributes into spaces). Other control characters
// cannot appear in XML 1.0 at all, not even as references, so they are written as references
// and, before parsing, replaced by U+E000 followed by the character plus 0x40; a real U+E000
// is doubled the same way. Raw control characters in files of the original library are read
// the same way.
#include <Poco/Exception.h>
#include <Poco/SAX/Attributes.h>
#include <Poco/SAX/DefaultHandler.h>
#include <Poco/SAX/SAXParser.h>
#include <Poco/SAX/XMLReader.h>

#include <cctype>
#include <cstdio>
#include <map>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_info.h"
#include "platform/automation/error_record.h"
#include "platform/automation/numeric_text.h"
#include "platform/data/data_error.h"
#include "platform/data/recordset.h"
#include "platform/files/file_system.h"
#include "platform/files/native_path.h"

namespace quorvan::data {
namespace {

constexpr const char* kSource = "QuorvanData.Recordset";
constexpr const char* kRowsetNamespace = "urn:schemas-microsoft-com:rowset";
constexpr const char* kDataTypeNamespace = "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882";
constexpr const char* kMarker = "\xEE\x80\x80";  // U+E000

// --- writing -------------------------------------------------------------------------------

// Appends `text` escaped for a single-quoted attribute; runs that need no escaping are copied
// whole.
void AppendEscaped(std::string& out, const std::string& text) {
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '&' && c != '\'' && c != '"' && c != '<' && c != '>') continue;
    out.append(text, run, i - run);
    run = i + 1;
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default: {
        char reference[8];
        std::snprintf(reference, sizeof reference, "&#x%X;", c);
        out += reference;
      }
    }
  }
  out.append(text, run, std::string::npos);
}

std::string Escaped(const std::string& text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

bool IsXmlName(const std::string& name) {
  if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
    return false;
  for (char c : name) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
      return false;
  }
  return true;
}

const char* DataTypeOf(int32_t type) {
  switch (type) {
    case kTypeInteger:
      return "int";
    case kTypeSmallInt:
      return "i2";
    case kTypeBigInt:
      return "i8";
    case kTypeSingle:
      return "r4";
    case kTypeDouble:
      return "float";
    case kTypeCurrency:
      return "number";
    case kTypeDate:
    case kTypeDBTimeStamp:
      return "dateTime";
    case kTypeBoolean:
      return "boolean";
    default:
      return "string";
  }
}

std::string ValueText(const Variant& value) {
  switch (value.type()) {
    case VarType::kBoolean:
      return value.bool_value() ? "True" : "False";
    case VarType::kDate:
      return FormatIsoDate(value.date_value());
    case VarType::kDouble: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.17g", value.double_value());
      return buffer;
    }
    default:
      return value.ToString();
  }
}

// --- reading -------------------------------------------------------------------------------

// Makes text a parser accepts: characters XML cannot carry become the marker and a letter.
std::string Parsable(const std::string& text) {
  // Most files hold nothing to mark: hand them over as they are.
  bool plain = true;
  for (size_t i = 0; i < text.size() && plain; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    plain = !((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0xEE ||
              (c == '&' && i + 1 < text.size() && text[i + 1] == '#'));
  }
  if (plain) return text;
  std::string out;
  out.reserve(text.size());
  auto marked = [&](unsigned code) {
    out += kMarker;
    out += static_cast<char>(code + 0x40);
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
      marked(c);
    } else if (c == 0xEE && text.compare(i, 3, kMarker) == 0) {
      out += kMarker;
      out += kMarker;
      i += 2;
    } else if (c == '&' && i + 2 < text.size() && text[i + 1] == '#') {
      const size_t end = text.find(';', i);
      const bool hex = text[i + 2] == 'x' || text[i + 2] == 'X';
      unsigned long code = 0xFFFFFFFF;
      if (end != std::string::npos && end - i < 12) {
        const std::string digits = text.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2));
        char* stop = nullptr;
        code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (digits.empty() || *stop != '\0') code = 0xFFFFFFFF;
      }
      if (code < 0x20 && code != 9 && code != 10 && code != 13) {
        marked(static_cast<unsigned>(code));
        i = end;
      } else if (code == 0xE000) {
        out += kMarker;
        out += kMarker;
        i = end;
      } else {
        out += static_cast<char>(c);
      }
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Restored(const std::string& text) {
  if (text.find(kMarker) == std::string::npos) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, kMarker) == 0 && i + 3 < text.size()) {
      if (text.compare(i + 3, 3, kMarker) == 0) {
        out += kMarker;
        i += 5;
      } else {
        out += static_cast<char>(text[i + 3] - 0x40);
        i += 3;
      }
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsTrue(const std::string& value) { return value == "true" || value == "True" || value == "1"; }

Variant TypedValue(const std::string& text, int32_t type) {
  switch (type) {
    case kTypeInteger:
    case kTypeBigInt:
      return Variant(text).ConvertTo(VarType::kLong);
    case kTypeSmallInt:
      return Variant(Variant(text).ToInteger());
    case kTypeSingle:
    case kTypeDouble:
      return Variant(Variant(text).ToDouble());
    case kTypeCurrency:
      return Variant(Variant(text).ToCurrency());
    case kTypeBoolean:
      return Variant(Variant(text).ToBool());
    case kTypeDBTimeStamp: {
      const auto serial = ParseIsoDate(text.size() > 19 ? text.substr(0, 19) : text);
      return serial ? Variant::FromDate(*serial) : Variant(text);
    }
    default:
      return Variant(text);
  }
}

}  // namespace

std::string Recordset::ToXml() const {
  RequireOpen();
  std::vector<std::string> names;  // the attribute name of each field
  std::string out =
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\r\n"
      "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\r\n"
      "\txmlns:rs='urn:schemas-microsoft-com:rowset'\r\n"
      "\txmlns:z='#RowsetSchema'>\r\n"
      "<s:Schema id='RowsetSchema'>\r\n"
      "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\r\n";
  for (size_t i = 0; i < columns_.size(); ++i) {
    const ColumnInfo& column = columns_[i];
    const int32_t attributes = attributes_[i];
    names.push_back(IsXmlName(column.name) ? column.name : "c" + std::to_string(i));
    out += "\t\t<s:AttributeType name='" + names.back() + "'";
    if (names.back() != column.name) out += " rs:name='" + Escaped(column.name) + "'";
    out += " rs:number='" + std::to_string(i + 1) + "'";
    if (attributes & kFieldIsNullable) out += " rs:nullable='true'";
    if (attributes & kFieldMayDefer) out += " rs:maydefer='true'";
    if (attributes & kFieldUpdatable) out += " rs:write='true'";
    if (attributes & kFieldKeyColumn) out += " rs:keycolumn='true'";
    out += ">\r\n\t\t\t<s:datatype dt:type='" + std::string(DataTypeOf(column.type)) + "'";
    if (std::string(DataTypeOf(column.type)) == "string") {
      out += " dt:maxLength='" +
             (column.defined_size < 0 ? std::string("4294967295")
                                      : std::to_string(column.defined_size)) +
             "'";
      if (column.type == kTypeLongVarWChar) out += " rs:long='true'";
      if (column.type == kTypeWChar) out += " rs:fixedlength='true'";
    }
    out += "/>\r\n\t\t</s:AttributeType>\r\n";
  }
  out += "\t\t<s:extends type='rs:rowbase'/>\r\n\t</s:ElementType>\r\n</s:Schema>\r\n<rs:data>\r\n";
  auto row_element = [&](const std::vector<Variant>& values, const std::vector<bool>* only,
                         const char* indent) {
    std::string element = indent;
    element += "<z:row";
    for (size_t i = 0; i < values.size(); ++i) {
      if ((only && !(*only)[i]) || values[i].IsNull() || values[i].IsEmpty()) continue;
      element += ' ';
      element += names[i];
      element += "='";
      AppendEscaped(element, values[i].IsString() ? values[i].string_ref() : ValueText(values[i]));
      element += '\'';
    }
    element += "/>\r\n";
    return element;
  };
  for (const Row& row : rows_) {
    switch (row.status) {
      case RowStatus::kUnchanged:
        out += row_element(row.values, nullptr, "\t");
        break;
      case RowStatus::kNew:
        out +=
            "\t<rs:insert>\r\n" + row_element(row.values, nullptr, "\t\t") + "\t</rs:insert>\r\n";
        break;
      case RowStatus::kDeleted:
        out += "\t<rs:delete>\r\n" +
               row_element(row.original.empty() ? row.values : row.original, nullptr, "\t\t") +
               "\t</rs:delete>\r\n";
        break;
      case RowStatus::kModified: {
        const std::vector<Variant>& original = row.original.empty() ? row.values : row.original;
        std::vector<bool> changed(row.values.size());
        for (size_t i = 0; i < changed.size(); ++i) changed[i] = !(row.values[i] == original[i]);
        out += "\t<rs:update>\r\n\t\t<rs:original>\r\n" + row_element(original, nullptr, "\t\t\t") +
               "\t\t</rs:original>\r\n" + row_element(row.values, &changed, "\t\t") +
               "\t</rs:update>\r\n";
        break;
      }
    }
  }
  return out + "</rs:data>\r\n</xml>\r\n";
}

void Recordset::Save(const Variant& destination, const Variant& persist_format) {
  RequireOpen();
  if (!persist_format.IsMissing() && !persist_format.IsEmpty() && persist_format.ToLong() != 1) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource,
                   "only the XML format (1) is supported");
  }
  if (edit_mode_ != kEditNone) FinishEdit();
  files::WriteWholeFile(destination.ToString(), ToXml());
}

namespace {

// Reads a saved row set in one pass (SAX): the schema's fields, then the rows of the data
// section with the change each belongs to.
class RowsetReader : public Poco::XML::DefaultHandler {
 public:
  struct Field {
    ColumnInfo column;
    int32_t attributes = 0;
  };
  struct ReadRow {
    std::vector<Variant> values;
    std::vector<Variant> original;
    int kind = 0;  // 0 unchanged, 1 new, 2 modified, 3 deleted
  };

  std::vector<Field> fields;
  std::vector<ReadRow> rows;
  bool saw_schema = false;
  bool saw_data = false;

  void startElement(const Poco::XML::XMLString& uri, const Poco::XML::XMLString& local_name,
                    const Poco::XML::XMLString&, const Poco::XML::Attributes& attributes) override {
    if (local_name == "ElementType") {
      saw_schema = true;
    } else if (local_name == "AttributeType") {
      Field field;
      const std::string xml_name = attributes.getValue("", "name");
      const std::string shown = attributes.getValue(kRowsetNamespace, "name");
      field.column.name = Restored(shown.empty() ? xml_name : shown);
      field.column.type = kTypeLongVarWChar;
      if (IsTrue(attributes.getValue(kRowsetNamespace, "nullable")))
        field.attributes |= kFieldIsNullable;
      if (IsTrue(attributes.getValue(kRowsetNamespace, "maydefer")))
        field.attributes |= kFieldMayDefer;
      if (IsTrue(attributes.getValue(kRowsetNamespace, "write")))
        field.attributes |= kFieldUpdatable;
      if (IsTrue(attributes.getValue(kRowsetNamespace, "keycolumn")))
        field.attributes |= kFieldKeyColumn;
      index_[xml_name] = fields.size();
      fields.push_back(field);
    } else if (local_name == "datatype" && !fields.empty()) {
      Field& field = fields.back();
      field.column.type = FieldTypeOf(attributes);
      const std::string size = attributes.getValue(kDataTypeNamespace, "maxLength");
      if (!size.empty()) {
        const long long length = std::atoll(size.c_str());
        field.column.defined_size = length > INT32_MAX ? -1 : static_cast<int32_t>(length);
      }
    } else if (local_name == "data") {
      saw_data = true;
    } else if (local_name == "insert") {
      kind_ = 1;
    } else if (local_name == "update") {
      kind_ = 2;
    } else if (local_name == "delete") {
      kind_ = 3;
    } else if (local_name == "original") {
      in_original_ = true;
    } else if (local_name == "row" && saw_data) {
      ReadRowElement(attributes);
    }
    (void)uri;
  }

  void endElement(const Poco::XML::XMLString&, const Poco::XML::XMLString& local_name,
                  const Poco::XML::XMLString&) override {
    if (local_name == "insert" || local_name == "update" || local_name == "delete") kind_ = 0;
    if (local_name == "original") in_original_ = false;
  }

 private:
  static int32_t FieldTypeOf(const Poco::XML::Attributes& datatype) {
    const std::string type = datatype.getValue(kDataTypeNamespace, "type");
    if (type == "int" || type == "i4" || type == "ui2") return kTypeInteger;
    if (type == "i2" || type == "i1" || type == "ui1") return kTypeSmallInt;
    if (type == "i8") return kTypeBigInt;
    if (type == "r4") return kTypeSingle;
    if (type == "float" || type == "r8") return kTypeDouble;
    if (type == "number") return kTypeCurrency;
    if (type == "dateTime" || type == "date") return kTypeDBTimeStamp;
    if (type == "boolean") return kTypeBoolean;
    if (IsTrue(datatype.getValue(kRowsetNamespace, "fixedlength"))) return kTypeWChar;
    if (IsTrue(datatype.getValue(kRowsetNamespace, "long")) ||
        datatype.getValue(kDataTypeNamespace, "maxLength").empty()) {
      return kTypeLongVarWChar;
    }
    return kTypeVarWChar;
  }

  void ReadRowElement(const Poco::XML::Attributes& attributes) {
    const bool changed_row = kind_ == 2 && !in_original_;
    std::vector<Variant> values = changed_row && !pending_original_.empty()
                                      ? pending_original_
                                      : std::vector<Variant>(fields.size(), Variant::Null());
    for (int i = 0; i < attributes.getLength(); ++i) {
      const auto found = index_.find(attributes.getLocalName(i));
      if (found == index_.end()) continue;
      values[found->second] =
          TypedValue(Restored(attributes.getValue(i)), fields[found->second].column.type);
    }
    if (kind_ == 2 && in_original_) {
      pending_original_ = std::move(values);
      return;
    }
    ReadRow row{std::move(values), {}, kind_};
    if (kind_ == 2) row.original = std::move(pending_original_);
    pending_original_.clear();
    rows.push_back(std::move(row));
  }

  std::map<std::string, size_t> index_;  // attribute name in rows -> field
  int kind_ = 0;
  bool in_original_ = false;
  std::vector<Variant> pending_original_;
};

}  // namespace

void Recordset::OpenXmlFile(const std::string& path) {
  RequireClosed();
  RowsetReader reader;
  try {
    Poco::XML::SAXParser parser;
    parser.setFeature(Poco::XML::XMLReader::FEATURE_NAMESPACES, true);
    parser.setContentHandler(&reader);
    parser.parseString(Parsable(files::ReadWholeFile(path)));
  } catch (const Poco::Exception& failure) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource,
                   "not a saved row set: " + path + ": " + failure.displayText());
  }
  if (!reader.saw_schema || !reader.saw_data) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "not a saved row set: " + path);
  }
  Reset();
  columns_.clear();
  attributes_.clear();
  for (const auto& field : reader.fields) {
    columns_.push_back(field.column);
    attributes_.push_back(field.attributes);
  }
  static constexpr RowStatus kStatuses[] = {RowStatus::kUnchanged, RowStatus::kNew,
                                            RowStatus::kModified, RowStatus::kDeleted};
  rows_.reserve(reader.rows.size());
  for (auto& row : reader.rows) {
    rows_.push_back(Row{std::move(row.values), std::move(row.original), {}, kStatuses[row.kind]});
  }
  fabricated_ = true;
  cursor_location_ = kUseClient;
  cursor_type_ = kOpenStatic;
  if (lock_type_ == kLockReadOnly) lock_type_ = kLockBatchOptimistic;
  source_ = path;
  position_ = 0;
  open_ = true;
}

}  // namespace quorvan::data
