#include "shared/data_access.h"

#include "platform/automation/class_info.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "shared/general.h"
#include "shared/method_shape.h"

namespace quorvan::shared {
namespace {

// Connection settings cached per thread (and per module, as each module has its own copy).
struct ConnectionSettings {
  std::string connection_string;
  int32_t command_timeout = 0;
  int32_t connection_timeout = 0;
  int32_t cursor_location = 0;
};

thread_local ConnectionSettings t_settings;

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

Variant GetConfigurationValue(Object& configuration, const char* section, const char* key) {
  Variant args[] = {Variant(section), Variant(key)};
  return configuration.Invoke("GetValue", args);
}

// Reads the settings in the order they are cached, storing each as soon as it is read, so
// that a failure keeps what came before it.
void ReadConnectionSettings() {
  ObjectPtr configuration = GetComponent("Solvagen.Configuration").ToObject();
  if (!configuration) RaiseRuntimeError(runtime_error::kObjectNotSet);
  for (const char* application : {"Fennick", "Gorlast"}) {
    if (configuration->Call("IsApplicationInstalled", application).ToBool()) {
      configuration->Call("SelectApplication", application, 0);
      break;
    }
  }
  t_settings.connection_string = configuration->Call("GetConnectionString", "Hadrell").ToString();
  t_settings.command_timeout =
      GetConfigurationValue(*configuration, "CONNECTIONS", "HadrellConnection_CommandTimeout")
          .ToLong();
  t_settings.connection_timeout =
      GetConfigurationValue(*configuration, "CONNECTIONS", "HadrellConnection_ConnectionTimeout")
          .ToLong();
  t_settings.cursor_location =
      GetConfigurationValue(*configuration, "CONNECTIONS", "HadrellConnection_CursorLocation")
          .ToLong();
}

ObjectPtr CreateFormatter() { return CreateObject("VexaLibrary.Utilities"); }

// The run-time type name in upper case ("STRING", "LONG", "DATE", ...).
std::string UpperTypeName(const Variant& value) { return UpperAscii(value.TypeName()); }

std::string Format(Object& formatter, const char* member, const Variant& value) {
  return formatter.Call(member, value).ToString();
}

// The literal of a value in INSERT values and UPDATE SET values.
std::string ValueLiteral(Object& formatter, const Variant& value) {
  const std::string type = UpperTypeName(value);
  if (type == "STRING") return Format(formatter, "FormatInsertString", value);
  if (type == "LONG") return Format(formatter, "FormatLong", value);
  if (type == "DOUBLE") return Format(formatter, "FormatDouble", value);
  if (type == "DATE") return Format(formatter, "FormatDate", value);
  if (type == "BOOLEAN") return value.bool_value() ? "1" : "0";
  if (type == "EMPTY" || type == "NULL") return "NULL";
  return value.ToString();
}

const Dictionary& AsDictionary(const Variant& value) {
  return Dictionary::Require(value.ToObject());
}

void ExecuteOn(ConnectionPtr& connection, const std::string& statement) {
  if (!connection) RaiseRuntimeError(runtime_error::kObjectNotSet);
  connection->ExecuteStatement(statement, nullptr);
}

template <class Object>
std::shared_ptr<Object> Held(Variant& reference) {
  if (!reference.IsObject() || !reference.object_ref()) return nullptr;
  auto typed = std::dynamic_pointer_cast<Object>(reference.object_ref());
  if (!typed) RaiseRuntimeError(runtime_error::kTypeMismatch);
  return typed;
}

// Takes the object out of a caller's reference, which is cleared in every case.
template <class Object>
std::shared_ptr<Object> TakeHeld(Variant& reference) {
  Variant taken = std::move(reference);
  reference = Variant::Nothing();
  return Held<Object>(taken);
}

}  // namespace

ConnectionPtr GetTesmikConnection() {
  ConnectionPtr connection;
  return MethodShape("Lib_DataAccess.GetTesmikConnection").Run([&] {
    connection = data::Connection::Create();
    ScopedConnection close_on_failure(connection);
    if (TrimSpaces(t_settings.connection_string).empty()) ReadConnectionSettings();
    connection->SetConnectionString(t_settings.connection_string);
    connection->SetCommandTimeout(t_settings.command_timeout);
    connection->SetConnectionTimeout(t_settings.connection_timeout);
    connection->SetCursorLocation(t_settings.cursor_location);
    connection->Open(Variant(""), Variant(""), Variant(""), Variant(-1));
    connection->ExecuteStatement("SET TRANSACTION ISOLATION LEVEL READ COMMITTED", nullptr);
    ConnectionPtr opened = connection;
    close_on_failure.get() = nullptr;  // handed to the caller
    return opened;
  });
}

void ForgetConnectionSettings() { t_settings = ConnectionSettings{}; }

void CloseConnection(ConnectionPtr& connection) {
  ConnectionPtr held = std::move(connection);
  connection = nullptr;
  MethodShape("Lib_DataAccess.CloseConnection").Run([&] {
    if (held && held->State() == data::kStateOpen) held->Close();
  });
}

void CloseConnection(Variant& connection) {
  ConnectionPtr held = TakeHeld<data::Connection>(connection);
  CloseConnection(held);
}

void CloseRecordset(RecordsetPtr& recordset) {
  RecordsetPtr held = std::move(recordset);
  recordset = nullptr;
  MethodShape("Lib_DataAccess.CloseRecordset").Run([&] {
    if (!held || held->State() != data::kStateOpen) return;
    if (!held->AtEnd() && !held->AtStart() && held->EditMode() != data::kEditNone) {
      if (held->LockType() == data::kLockBatchOptimistic) {
        held->CancelBatch(Variant(data::kAffectAll));
      } else {
        held->CancelUpdate();
      }
    }
    held->Close();
  });
}

void CloseRecordset(Variant& recordset) {
  RecordsetPtr held = TakeHeld<data::Recordset>(recordset);
  CloseRecordset(held);
}

bool CheckIfExistsInTable(const std::string& table, const Variant& field_names,
                          const Variant& field_values, const Variant& is_string,
                          Variant& connection) {
  return MethodShape("Lib_DataAccess.CheckIfExistsInTable").Run([&] {
    const SafeArray& names = field_names.array();
    std::string statement;
    if (names.UBound() >= 0) {
      statement =
          "SELECT TOP 1 " + names.at(names.LBound()).ToString() + " FROM " + table + " WHERE";
    }
    {
      ObjectPtr formatter = CreateFormatter();
      for (int32_t i = names.LBound(); i <= names.UBound(); ++i) {
        statement += i == names.LBound() ? " " : " AND ";
        statement += names.at(i).ToString();
        const Variant& value = field_values.array().at(i);
        if (value.IsNull()) {
          statement += " IS NULL";
          continue;
        }
        const Variant& flag = is_string.array().at(i);
        statement += "=";
        if (!flag.IsNull() && flag.ToBool()) {
          statement += Format(*formatter, "FormatString", Variant(value.ToString()));
        } else {
          const std::string type = UpperTypeName(value);
          if (type == "LONG")
            statement += Format(*formatter, "FormatLong", value);
          else if (type == "DOUBLE")
            statement += Format(*formatter, "FormatDouble", value);
          else if (type == "DATE")
            statement += Format(*formatter, "FormatDate", value);
          else if (type == "BOOLEAN")
            statement += value.bool_value() ? "1" : "0";
          else
            statement += value.ToString();
        }
      }
    }
    ScopedConnection obtained;
    ConnectionPtr use = connection.IsMissing() ? nullptr : Held<data::Connection>(connection);
    if (connection.IsMissing()) {
      obtained.get() = GetTesmikConnection();
      use = obtained.get();
    }
    ScopedRecordset rows(data::Recordset::Create());
    rows->Open(Variant(statement), Variant(ObjectPtr(use)), Variant(data::kOpenForwardOnly),
               Variant(data::kLockReadOnly), Variant(-1));
    return !rows->AtStart() && !rows->AtEnd();
  });
}

std::string InsertStatement(const std::string& table, const Variant& values) {
  const Dictionary& dictionary = AsDictionary(values);
  ObjectPtr formatter = CreateFormatter();
  std::string columns, literals;
  bool first = true;
  for (const auto& entry : dictionary.entries()) {
    columns += (first ? "" : ",") + entry.key.ToString();
    literals += (first ? "" : ",") + ValueLiteral(*formatter, entry.item);
    first = false;
  }
  return "INSERT " + table + "(" + columns + ") VALUES (" + literals + ")";
}

std::string UpdateStatement(const std::string& table, const Variant& values,
                            const Variant& conditions) {
  ObjectPtr formatter = CreateFormatter();
  std::string statement = "UPDATE " + table + " SET ";
  bool first = true;
  for (const auto& entry : AsDictionary(values).entries()) {
    statement +=
        (first ? "" : ",") + entry.key.ToString() + "=" + ValueLiteral(*formatter, entry.item);
    first = false;
  }
  statement += " WHERE ";
  first = true;
  for (const auto& entry : AsDictionary(conditions).entries()) {
    statement += (first ? "" : " AND ") + entry.key.ToString() + "=";
    first = false;
    const Variant& value = entry.item;
    const std::string type = UpperTypeName(value);
    if (type == "STRING")
      statement += Format(*formatter, "FormatString", value);
    else if (type == "LONG")
      statement += Format(*formatter, "FormatLong", value);
    else if (type == "DATE")
      statement += Format(*formatter, "FormatDate", value);
    else if (type == "DOUBLE")
      statement += Format(*formatter, "FormatDouble", value);
    else if (type != "EMPTY" && type != "NULL")
      statement += value.ToString();
  }
  return statement;
}

std::string DeleteStatement(const std::string& table, const Variant& conditions) {
  ObjectPtr formatter = CreateFormatter();
  std::string statement = "DELETE FROM " + table + " WHERE ";
  bool first = true;
  for (const auto& entry : AsDictionary(conditions).entries()) {
    statement += (first ? "" : " AND ") + entry.key.ToString() + "=";
    first = false;
    statement += UpperTypeName(entry.item) == "STRING"
                     ? Format(*formatter, "FormatString", entry.item)
                     : ValueLiteral(*formatter, entry.item);
  }
  return statement;
}

void InsertTable(const std::string& table, const Variant& values, ConnectionPtr& connection) {
  MethodShape("Lib_DataAccess.InsertTable").Transactional().Run([&] {
    ExecuteOn(connection, InsertStatement(table, values));
  });
}

void UpdateTable(const std::string& table, const Variant& values, const Variant& conditions,
                 ConnectionPtr& connection) {
  MethodShape("Lib_DataAccess.UpdateTable").Transactional().Run([&] {
    ExecuteOn(connection, UpdateStatement(table, values, conditions));
  });
}

void DeleteTable(const std::string& table, const Variant& conditions, ConnectionPtr& connection) {
  MethodShape("Lib_DataAccess.DeleteTable").Transactional().Run([&] {
    ExecuteOn(connection, DeleteStatement(table, conditions));
  });
}

ScopedConnection::~ScopedConnection() {
  try {
    CloseConnection(connection_);
  } catch (...) {
    // Release never throws; a failure to close is no reason to lose the work's own result.
  }
}

ScopedRecordset::~ScopedRecordset() {
  try {
    CloseRecordset(recordset_);
  } catch (...) {
  }
}

}  // namespace quorvan::shared
