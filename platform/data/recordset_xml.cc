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
#include <Poco/AutoPtr.h>
#include <Poco/DOM/Attr.h>
#include <Poco/DOM/DOMParser.h>
#include <Poco/DOM/Document.h>
#include <Poco/DOM/Element.h>
#include <Poco/DOM/NamedNodeMap.h>
#include <Poco/DOM/NodeList.h>
#include <Poco/Exception.h>
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

using Poco::XML::Element;

// --- writing -------------------------------------------------------------------------------

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
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
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char reference[8];
          std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned char>(c));
          out += reference;
        } else {
          out += c;
        }
    }
  }
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
    } else if (text.compare(i, 3, kMarker) == 0) {
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

std::string AttributeNS(const Element& element, const char* ns, const char* name) {
  return element.getAttributeNS(ns, name);
}

bool IsTrue(const std::string& value) { return value == "true" || value == "True" || value == "1"; }

std::vector<Element*> ChildElements(const Poco::XML::Node& parent,
                                    const std::string& local_name = {}) {
  std::vector<Element*> children;
  for (Poco::XML::Node* child = parent.firstChild(); child; child = child->nextSibling()) {
    if (child->nodeType() != Poco::XML::Node::ELEMENT_NODE) continue;
    if (!local_name.empty() && child->localName() != local_name) continue;
    children.push_back(static_cast<Element*>(child));
  }
  return children;
}

Element* FindDescendant(const Poco::XML::Node& root, const std::string& local_name) {
  for (Poco::XML::Node* child = root.firstChild(); child; child = child->nextSibling()) {
    if (child->nodeType() != Poco::XML::Node::ELEMENT_NODE) continue;
    if (child->localName() == local_name) return static_cast<Element*>(child);
    if (Element* found = FindDescendant(*child, local_name)) return found;
  }
  return nullptr;
}

int32_t FieldTypeOf(const Element& datatype) {
  const std::string type = AttributeNS(datatype, kDataTypeNamespace, "type");
  if (type == "int" || type == "i4" || type == "ui2") return kTypeInteger;
  if (type == "i2" || type == "i1" || type == "ui1") return kTypeSmallInt;
  if (type == "i8") return kTypeBigInt;
  if (type == "r4") return kTypeSingle;
  if (type == "float" || type == "r8") return kTypeDouble;
  if (type == "number") return kTypeCurrency;
  if (type == "dateTime" || type == "date") return kTypeDBTimeStamp;
  if (type == "boolean") return kTypeBoolean;
  if (IsTrue(AttributeNS(datatype, kRowsetNamespace, "fixedlength"))) return kTypeWChar;
  if (IsTrue(AttributeNS(datatype, kRowsetNamespace, "long")) ||
      !datatype.hasAttributeNS(kDataTypeNamespace, "maxLength")) {
    return kTypeLongVarWChar;
  }
  return kTypeVarWChar;
}

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
    std::string element = std::string(indent) + "<z:row";
    for (size_t i = 0; i < values.size(); ++i) {
      if ((only && !(*only)[i]) || values[i].IsNull() || values[i].IsEmpty()) continue;
      element += " " + names[i] + "='" + Escaped(ValueText(values[i])) + "'";
    }
    return element + "/>\r\n";
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

void Recordset::OpenXmlFile(const std::string& path) {
  RequireClosed();
  Poco::AutoPtr<Poco::XML::Document> document;
  try {
    Poco::XML::DOMParser parser;
    parser.setFeature(Poco::XML::XMLReader::FEATURE_NAMESPACES, true);
    parser.setFeature(Poco::XML::DOMParser::FEATURE_FILTER_WHITESPACE, true);
    document = parser.parseString(Parsable(files::ReadWholeFile(path)));
  } catch (const Poco::Exception& failure) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource,
                   "not a saved row set: " + path + ": " + failure.displayText());
  }
  Element* schema_row = FindDescendant(*document, "ElementType");
  Element* data = FindDescendant(*document, "data");
  if (schema_row == nullptr || data == nullptr) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "not a saved row set: " + path);
  }
  Reset();
  columns_.clear();
  attributes_.clear();
  std::map<std::string, size_t> index_of;  // attribute name in rows -> field
  for (Element* field : ChildElements(*schema_row, "AttributeType")) {
    ColumnInfo column;
    const std::string xml_name = field->getAttribute("name");
    column.name = Restored(field->hasAttributeNS(kRowsetNamespace, "name")
                               ? AttributeNS(*field, kRowsetNamespace, "name")
                               : xml_name);
    const auto datatypes = ChildElements(*field, "datatype");
    column.type = datatypes.empty() ? kTypeLongVarWChar : FieldTypeOf(*datatypes.front());
    if (!datatypes.empty() && datatypes.front()->hasAttributeNS(kDataTypeNamespace, "maxLength")) {
      const long long size =
          std::atoll(AttributeNS(*datatypes.front(), kDataTypeNamespace, "maxLength").c_str());
      column.defined_size = size > INT32_MAX ? -1 : static_cast<int32_t>(size);
    }
    int32_t attributes = 0;
    if (IsTrue(AttributeNS(*field, kRowsetNamespace, "nullable"))) attributes |= kFieldIsNullable;
    if (IsTrue(AttributeNS(*field, kRowsetNamespace, "maydefer"))) attributes |= kFieldMayDefer;
    if (IsTrue(AttributeNS(*field, kRowsetNamespace, "write"))) attributes |= kFieldUpdatable;
    if (IsTrue(AttributeNS(*field, kRowsetNamespace, "keycolumn"))) attributes |= kFieldKeyColumn;
    index_of[xml_name] = columns_.size();
    columns_.push_back(column);
    attributes_.push_back(attributes);
  }
  auto values_of = [&](const Element& row, const std::vector<Variant>* base) {
    std::vector<Variant> values =
        base ? *base : std::vector<Variant>(columns_.size(), Variant::Null());
    Poco::AutoPtr<Poco::XML::NamedNodeMap> attributes = row.attributes();
    for (unsigned long i = 0; i < attributes->length(); ++i) {
      const auto* attribute = static_cast<const Poco::XML::Attr*>(attributes->item(i));
      const auto found = index_of.find(attribute->localName());
      if (found == index_of.end()) continue;
      values[found->second] =
          TypedValue(Restored(attribute->value()), columns_[found->second].type);
    }
    return values;
  };
  for (Element* item : ChildElements(*data)) {
    const std::string kind = item->localName();
    if (kind == "row") {
      rows_.push_back(Row{values_of(*item, nullptr), {}, {}, RowStatus::kUnchanged});
    } else if (kind == "insert" || kind == "delete") {
      for (Element* row : ChildElements(*item, "row")) {
        rows_.push_back(Row{values_of(*row, nullptr),
                            {},
                            {},
                            kind == "insert" ? RowStatus::kNew : RowStatus::kDeleted});
      }
    } else if (kind == "update") {
      const auto originals = ChildElements(*item, "original");
      const auto original_rows =
          originals.empty() ? std::vector<Element*>{} : ChildElements(*originals.front(), "row");
      const auto changed_rows = ChildElements(*item, "row");
      for (size_t i = 0; i < changed_rows.size(); ++i) {
        std::vector<Variant> original =
            i < original_rows.size() ? values_of(*original_rows[i], nullptr)
                                     : std::vector<Variant>(columns_.size(), Variant::Null());
        std::vector<Variant> current = values_of(*changed_rows[i], &original);
        rows_.push_back(Row{std::move(current), std::move(original), {}, RowStatus::kModified});
      }
    }
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
