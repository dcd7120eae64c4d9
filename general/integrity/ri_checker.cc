#include "general/integrity/ri_checker.h"

#include <array>
#include <string>
#include <vector>

#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "shared/data_access.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {
namespace {

enum class ValueForm { kNumber, kText, kPlant };

// prefix + condition + value [+ second condition + value]
struct ReferenceQuery {
  const char* prefix;
  const char* condition;
  const char* second_condition;  // nullptr when the value is written once
};

struct Origin {
  const char* name;
  const char* key;
  ValueForm form;
  std::vector<ReferenceQuery> queries;
};

const std::vector<Origin>& Origins() {
  static const std::vector<Origin> origins{
      {"ADDRESS",
       "ADDRESSID",
       ValueForm::kNumber,
       {{"SELECT TOP 1 SHIPTOADDR, SHIPFMADDR FROM CONTRACTHEADER WHERE",
         " SHIPTOADDR=", " OR SHIPFMADDR="},
        {"SELECT TOP 1 SHIPTOADDR, SHIPFMADDR FROM CONTRACTLINE WHERE",
         " SHIPTOADDR=", " OR SHIPFMADDR="}}},
      {"BUSINESSPARTNER",
       "BUSINESSPARTNERID",
       ValueForm::kNumber,
       {{"SELECT TOP 1 BUSINESSPARTNERID FROM CONTRACTHEADER WHERE",
         " BUSINESSPARTNERID=", nullptr},
        {"SELECT TOP 1 BUSINESSPARTNERID FROM ALERT WHERE", " BUSINESSPARTNERID=", nullptr}}},
      {"CATEGORY",
       "CATEGORYID",
       ValueForm::kNumber,
       {{"SELECT TOP 1 CATEGORYID FROM CONTRACTHEADER WHERE", " CATEGORYID=", nullptr}}},
      {"PLANT",
       "PLANTCODE",
       ValueForm::kPlant,
       {{"SELECT TOP 1 PLANTCODE FROM CONTRACTRESULT WHERE", " PLANTCODE =", nullptr}}},
      {"COMMODITY",
       "COMMODITYCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 COMMCODE FROM CONTRACTLINE WHERE", " COMMCODE=", nullptr}}},
      {"CURRENCY",
       "CURRENCYCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 CURRENCYCODE FROM CONTRACTHEADER WHERE", " CURRENCYCODE=", nullptr}}},
      {"DELIVERYMETHOD",
       "DELIVERYMETHODCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 DELIVERYMETHODCODE FROM CONTRACTHEADER WHERE",
         " DELIVERYMETHODCODE=", nullptr}}},
      {"DELIVERYTERM",
       "DELIVERYTERMCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 DELIVERYTERMCODE FROM CONTRACTHEADER WHERE",
         " DELIVERYTERMCODE=", nullptr}}},
      {"OFFICE",
       "OFFICEDESCRIPTION",
       ValueForm::kText,
       {{"SELECT TOP 1 CONTRACTOFFICE FROM CONTRACTHEADER WHERE", " CONTRACTOFFICE=", nullptr},
        {"SELECT TOP 1 ADMINOFFICE FROM CONTRACTLINE WHERE", " ADMINOFFICE=", nullptr}}},
      {"PACKAGINGTERM",
       "PACKAGINGTERMCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 PACKAGINGTERMCODE FROM CONTRACTHEADER WHERE",
         " PACKAGINGTERMCODE=", nullptr}}},
      {"PAYMENTMETHOD",
       "PAYMENTMETHODCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 PAYMENTMETHODCODE FROM CONTRACTHEADER WHERE",
         " PAYMENTMETHODCODE=", nullptr}}},
      {"PAYMENTTERM",
       "PAYMENTTERMCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 PAYMENTTERMCODE FROM CONTRACTHEADER WHERE", " PAYMENTTERMCODE=", nullptr}}},
      {"PENALTYTERM",
       "PENALTYTERMCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 PENALTYTERMCODE FROM CONTRACTHEADER WHERE", " PENALTYTERMCODE=", nullptr}}},
      {"PRODUCT",
       "PRODUCTID",
       ValueForm::kNumber,
       {{"SELECT TOP 1 PRODID FROM CONTRACTLINE WHERE", " PRODID=", nullptr}}},
      {"UNIT",
       "UNITCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 UNIT FROM CONTRACTLINE WHERE", " UNIT=", nullptr},
        {"SELECT TOP 1 UNITCODE FROM CONTRACTUSERDATA WHERE", " UNITCODE =", nullptr}}},
      {"USER",
       "USERID",
       ValueForm::kText,
       {{"SELECT TOP 1 BUYERID, SUPPLIERID FROM CONTRACTHEADER WHERE",
         " BUYERID=", " OR SUPPLIERID="},
        {"SELECT TOP 1 RECEIVERID, SENDERID FROM ALERT WHERE", " RECEIVERID=", " OR SENDERID="},
        {"SELECT TOP 1 USERID FROM ALERTSSUBSCRIPTION WHERE", " USERID=", nullptr}}},
      {"WARRANTYTERM",
       "WARRANTYTERMCODE",
       ValueForm::kText,
       {{"SELECT TOP 1 WARRANTYTERMCODE FROM CONTRACTHEADER WHERE",
         " WARRANTYTERMCODE=", nullptr}}},
  };
  return origins;
}

const Origin* FindOrigin(const std::string& origin) {
  const std::string upper = UpperAscii(origin);
  for (const Origin& candidate : Origins()) {
    if (upper == candidate.name) return &candidate;
  }
  return nullptr;
}

// The value of the first key named like `key` (ignoring case); the empty text when none is.
std::string KeyValue(const Variant& keys, const Variant& values, const char* key) {
  const SafeArray& names = keys.array();
  for (int32_t i = names.LBound(); i <= names.UBound(); ++i) {
    if (EqualsIgnoringCase(names.at(i).ToString(), key)) return values.array().at(i).ToString();
  }
  return std::string();
}

// The literal for one occurrence of the value; numbers fail here, before any database access.
std::string Literal(ValueForm form, const std::string& value) {
  switch (form) {
    case ValueForm::kNumber:
      return shared::FormatLong(Variant(Variant(value).ToLong()));
    case ValueForm::kPlant:
      return shared::FormatString(Variant(std::to_string(Variant(value).ToLong())));
    default:
      return shared::FormatString(Variant(value));
  }
}

std::vector<std::string> Statements(const Origin& origin, const std::string& value) {
  std::vector<std::string> statements;
  for (const ReferenceQuery& query : origin.queries) {
    std::string statement =
        std::string(query.prefix) + query.condition + Literal(origin.form, value);
    if (query.second_condition) statement += query.second_condition + Literal(origin.form, value);
    statements.push_back(std::move(statement));
  }
  return statements;
}

}  // namespace

const ClassInfo& RIChecker::Info() {
  static const ClassInfo info =
      ClassBuilder<RIChecker>("QuorvanGeneral.RIChecker")
          .Method<&RIChecker::Exists>(
              "Exists", {ByRef("i_sOrigin", "String"), ByRef("i_aKeys"), ByRef("i_aValues")})
          .Method<&RIChecker::BeforeDelete>(
              "BeforeDelete", {ByRef("i_sOrigin", "String"), ByRef("i_aKeys"), ByRef("i_aValues")})
          .Identifiers("{cf6eee7a-3b52-405d-bd8a-0b7835739044}",
                       "{7376971e-7bd9-4b0e-b852-dc8a1e881495}", "IReferentialIntegrity")
          .Build();
  return info;
}

bool RIChecker::Exists(Variant& i_sOrigin, Variant& i_aKeys, Variant& i_aValues) {
  return shared::MethodShape("QuorvanGeneral.RIChecker.IReferentialIntegrity_Exists")
      .AlwaysArmed()
      .Info([&] { return i_sOrigin; })
      .Run([&] {
        const Origin* origin = FindOrigin(i_sOrigin.ToString());
        if (origin == nullptr) return false;
        const std::vector<std::string> statements =
            Statements(*origin, KeyValue(i_aKeys, i_aValues, origin->key));
        shared::ScopedRecordset rows(data::Recordset::Create());
        shared::ScopedConnection connection(shared::GetTesmikConnection());
        for (const std::string& statement : statements) {
          rows->Open(Variant(statement), Variant(ObjectPtr(connection.get())),
                     Variant(data::kOpenForwardOnly), Variant(data::kLockReadOnly), Variant(-1));
          if (!rows->AtEnd()) return true;
          rows->Close();
        }
        return false;
      });
}

bool RIChecker::BeforeDelete(Variant&, Variant&, Variant&) {
  return shared::MethodShape("QuorvanGeneral.RIChecker.IReferentialIntegrity_BeforeDelete")
      .AlwaysArmed()
      .Run([] { return true; });
}

}  // namespace quorvan::general
