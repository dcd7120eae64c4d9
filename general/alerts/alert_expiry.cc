// Expiry: alerts stop being relevant by date, by delivery, or as their document moves on.
#include <array>
#include <vector>

#include "general/alerts/alert.h"
#include "general/alerts/alert_support.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {
namespace {

struct DocumentAlertTypes {
  int32_t document_type;
  std::vector<int32_t> alert_types;
};

// The alert types that belong to a document type, in the order the condition lists them.
const std::array<DocumentAlertTypes, 6>& DocumentAlertTypeTable() {
  static const std::array<DocumentAlertTypes, 6> table{{
      {1, {16, 1, 3, 5, 2, 6, 4}},
      {2, {9}},
      {3, {7, 17}},
      {6, {10, 11, 8, 18, 13, 15, 12, 14}},
      {7, {25, 24, 22, 28, 23}},
      {9, {27, 26}},
  }};
  return table;
}

// " AND (ALERTTYPE = a OR ALERTTYPE = b)", " AND ALERTTYPE = a" for a single type, or nothing.
std::string DocumentTypeCondition(int32_t document_type) {
  for (const DocumentAlertTypes& entry : DocumentAlertTypeTable()) {
    if (entry.document_type != document_type) continue;
    const auto& types = entry.alert_types;
    if (types.size() == 1) return " AND ALERTTYPE = " + std::to_string(types[0]);
    std::string condition = " AND (ALERTTYPE = " + std::to_string(types[0]);
    for (size_t i = 1; i < types.size(); ++i)
      condition += " OR ALERTTYPE = " + std::to_string(types[i]);
    return condition + ")";
  }
  return "";
}

// The decimal digits of an argument written into a statement as it stands: converted to a
// 32-bit integer first, so that no argument can extend the statement.
std::string Digits(const Variant& value) { return std::to_string(value.ToLong()); }

}  // namespace

void Alert::SetExpiryFlagAndStatus(bool i_bExpireAlert, const Variant& i_lAlertID,
                                   const Variant& i_sUserID, const Variant& i_nAlertType,
                                   const Variant& i_sDocumentHeaderID,
                                   const Variant& i_sDocumentLineID, const Variant& i_lRevisionID,
                                   const Variant& i_lBusinessPartner,
                                   const Variant& i_nDocumentType,
                                   const Variant& i_dActivationDate) {
  shared::MethodShape("QuorvanGeneral.Alert.SetExpiryFlagAndStatus").Run([&] {
    shared::TextBuilder builder;
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    shared::ScopedRecordset rows(data::Recordset::Create());
    if (Passed(i_lAlertID)) {
      builder.Add("SELECT EXPIRED,STATUS FROM ALERT WHERE ALERTERID = ").Add(Digits(i_lAlertID));
    } else {
      builder.Add("SELECT EXPIRED,STATUS FROM ALERT")
          .Add(" WHERE EXPIRED = 0 AND DOCUMENTHEADERID = ")
          .Add(shared::FormatString(Variant(i_sDocumentHeaderID.ToString())));
      if (Passed(i_nAlertType)) builder.Add(" AND ALERTTYPE = ").Add(Digits(i_nAlertType));
      if (Passed(i_sDocumentLineID)) {
        builder.Add(" AND DOCUMENTLINEID = ")
            .Add(shared::FormatString(Variant(i_sDocumentLineID.ToString())));
      }
      if (Passed(i_sUserID))
        builder.Add(" AND RECEIVERID = ").Add(shared::FormatString(Variant(i_sUserID.ToString())));
      if (Passed(i_lRevisionID))
        builder.Add(" AND REVISION = ").Add(shared::FormatLong(Variant(i_lRevisionID.ToLong())));
      if (Passed(i_lBusinessPartner)) {
        builder.Add(" AND BUSINESSPARTNERID = ")
            .Add(shared::FormatLong(Variant(i_lBusinessPartner.ToLong())));
      }
      if (Passed(i_nDocumentType)) builder.Add(DocumentTypeCondition(i_nDocumentType.ToLong()));
      if (Passed(i_dActivationDate)) {
        builder.Add(" AND ACTIVATIONDATE <= ")
            .Add(shared::FormatDate(Variant::FromDate(i_dActivationDate.ToDate())));
      }
    }
    rows->Open(Variant(builder.Value()), Variant(ObjectPtr(connection.get())),
               Variant(data::kOpenStatic), Variant(data::kLockBatchOptimistic), Variant(1));
    rows->SetActiveConnection(Variant::Nothing());
    for (; !rows->AtEnd(); rows->MoveNext()) {
      rows->SetValue(Variant("EXPIRED"), Variant(int16_t{1}));
      if (!i_bExpireAlert) rows->SetValue(Variant("STATUS"), Variant(3));
    }
    rows->SetActiveConnection(Variant(ObjectPtr(connection.get())));
    rows->UpdateBatch(Variant(data::kAffectAll));
  });
}

void Alert::ExpireAlertsforMultipleDocuments(const Variant& i_aDocumentHeaderID,
                                             int32_t i_nDocumentType) {
  shared::MethodShape("QuorvanGeneral.Alert.ExpireAlertsforMultipleDocuments").Run([&] {
    shared::TextBuilder builder;
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    builder.Add("UPDATE ALERT SET EXPIRED = 1")
        .Add(" WHERE EXPIRED = 0 AND DOCUMENTHEADERID IN ( ");
    const SafeArray& documents = i_aDocumentHeaderID.array();
    // The last element is not used: the list runs to the upper bound minus one.
    for (int32_t i = documents.LBound(); i <= documents.UBound() - 1; ++i) {
      if (i > documents.LBound()) builder.Add(" , ");
      builder.Add(shared::FormatString(Variant(documents.at(i).ToString())));
    }
    builder.Add(" ) ").Add(DocumentTypeCondition(i_nDocumentType));
    Execute(connection.get(), builder.Value());
  });
}

void Alert::ExpireAlerts() {
  shared::MethodShape("QuorvanGeneral.Alert.ExpireAlerts").Run([&] {
    shared::TextBuilder builder;
    builder.Add("UPDATE ALERT SET EXPIRED = 1 WHERE EXPIRATIONDATE < ")
        .Add(shared::FormatDate(Variant::FromDate(NowDateSerial())))
        .Add(" OR (NOTIFICATIONTYPE =")
        .Add("2")
        .Add(" AND MAILSENT = 1 AND EXPIRED = 0)")
        .Add(" OR (NOTIFICATIONTYPE = ")
        .Add("3")
        .Add(" AND MAILSENT = 1 AND EXPIRED = 0 AND STATUS =")
        .Add("3")
        .Add(" )");
    ExecuteOnNewConnection(builder.Value());
  });
}

void Alert::SetExpiryFlagForReminder(int32_t i_lBusinessPartnerID,
                                     const std::string& i_sDocumentHeaderID,
                                     const Variant& i_sDocumentLineID) {
  shared::MethodShape("QuorvanGeneral.Alert.SetExpiryFlag").Run([&] {
    std::string statement =
        "UPDATE ALERT SET EXPIRED = 1 WHERE ALERTTYPE = 5 AND DOCUMENTHEADERID = " +
        shared::FormatString(Variant(i_sDocumentHeaderID));
    if (Passed(i_sDocumentLineID)) {
      statement +=
          " AND DOCUMENTLINEID = " + shared::FormatString(Variant(i_sDocumentLineID.ToString()));
    }
    statement +=
        " AND BUSINESSPARTNERID = " + std::to_string(i_lBusinessPartnerID) + " AND EXPIRED = 0";
    ExecuteOnNewConnection(statement);
  });
}

void Alert::BatchDeleteExpiredAlerts() {
  shared::MethodShape("QuorvanGeneral.Alert.BatchDeleteExpiredAlerts").Run([&] {
    ExecuteOnNewConnection("DELETE FROM ALERT WHERE EXPIRED = 1");
  });
}

}  // namespace quorvan::general
