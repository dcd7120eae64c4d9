#include "host/kimbrel/rfi_response.h"

#include <cctype>

#include "host/config/host_call.h"
#include "host/config/quorvan_config.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"

namespace quorvan::host {
namespace {

constexpr const char* kSource = "Kimbrel.RFIResponse";

std::string ColumnName(const Variant& field) {
  const std::string name = field.ToString();
  bool plain = !name.empty();
  for (char c : name) plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  if (!plain)
    RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "not a field name: '" + name + "'");
  return name;
}

}  // namespace

const ClassInfo& RFIResponse::Info() {
  static const ClassInfo info =
      ClassBuilder<RFIResponse>("Kimbrel.RFIResponse")
          .Method<&RFIResponse::GetResponseDetails>(
              "GetResponseDetails", {ByRef("Criteria", "Dictionary"), In("Fields")}, "Dictionary")
          .Build();
  return info;
}

ObjectPtr RFIResponse::GetResponseDetails(Variant& criteria, const Variant& fields) {
  return HostCall(kSource, [&] {
    const ObjectPtr held = criteria.ToObject();
    // Response ids are whole numbers: any other id names no response (all fields empty).
    const Variant* id = Dictionary::Require(held).Find(Variant("RESPONSEID"));
    const bool numeric = id != nullptr && id->IsNumeric() && !id->IsEmpty();
    const int32_t response_id = numeric ? id->ToLong() : 0;
    const SafeArray& names = fields.array();
    std::string columns;
    for (const Variant& field : names.elements())
      columns += (columns.empty() ? "" : ", ") + ColumnName(field);

    auto details = Dictionary::Create();
    auto connection = data::Connection::Create();
    connection->Open(Variant(QuorvanConfig::FromEnvironment()->GetOr("connections", "Hadrell", "")),
                     Variant(), Variant(), Variant());
    auto rows = numeric ? connection->ExecuteStatement(
                              "SELECT " + columns + " FROM RFIRESPONSE WHERE RFIRESPONSEID = " +
                                  std::to_string(response_id),
                              nullptr)
                        : nullptr;
    for (size_t i = 0; i < names.size(); ++i) {
      Variant value = rows && !rows->AtEnd() ? rows->Value(i) : Variant("");
      details->Add(names.elements()[i], value.IsNull() ? Variant("") : value);
    }
    connection->Close();
    return ObjectPtr(details);
  });
}

}  // namespace quorvan::host
