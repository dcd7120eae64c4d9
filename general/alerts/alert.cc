#include "general/alerts/alert.h"

#include <array>

#include "general/alerts/alert_support.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {
namespace {

// The columns GetAlertDetails returns when no field list is given, in this order.
constexpr std::array<const char*, 16> kDetailColumns{
    "NOTIFICATIONTYPE", "ALERTTYPE",      "DOCUMENTHEADERID",  "DOCUMENTLINEID",
    "GENERATIONDATE",   "ACTIVATIONDATE", "EXPIRATIONDATE",    "STATUS",
    "EXPIRED",          "RECEIVERID",     "SENDERID",          "MAILSENT",
    "SUBJECT",          "BODY",           "BUSINESSPARTNERID", "REVISION"};

// The channel condition of a notification type; other numbers add none.
std::string ChannelCondition(int32_t notification_type) {
  switch (notification_type) {
    case 1:
      return " AND WEBALERT = 1";
    case 2:
      return " AND MAILALERT = 1";
    case 3:
      return " AND (WEBALERT = 1 OR MAILALERT = 1)";
    default:
      return "";
  }
}

[[noreturn]] void RaiseAlertDoesNotExist() {
  RaiseError(kAlertDoesNotExist, "", "Alert does not exist");
}

}  // namespace

const ClassInfo& Alert::Info() {
  static const ClassInfo info =
      ClassBuilder<Alert>("QuorvanGeneral.Alert")
          .Method<&Alert::BatchDeleteExpiredAlerts>("BatchDeleteExpiredAlerts")
          .Method<&Alert::GetAlertsSubscriptionsForUser>("GetAlertsSubscriptionsForUser",
                                                         {In("i_sUserID")}, "Dictionary")
          .Method<&Alert::InsertOrUpdateAuthorisations>(
              "InsertOrUpdateAuthorisations",
              {In("i_sUserID"), In("i_oDicAuthorisations", "Dictionary"),
               Optional("i_nUserRole", "EUserRole")})
          .Method<&Alert::BatchUpdateAuthorisations>(
              "BatchUpdateAuthorisations",
              {In("i_sUserID"), In("i_oDicAuthorisations", "Dictionary"),
               OptionalByRef("i_oCnnConnection", "Connection")})
          .Method<&Alert::InsertAuthorisations>(
              "InsertAuthorisations",
              {In("i_sUserID"), In("i_oDicAuthorisations", "Dictionary"),
               In("i_nUserRole", "EUserRole"), OptionalByRef("i_oCnnConnection", "Connection")})
          .Method<&Alert::GetWebAlertsForUser>(
              "GetWebAlertsForUser", {In("i_sUserID"), In("i_lNumberOfRecords")}, "Recordset")
          .Method<&Alert::IsUserSubscribedAlert>(
              "IsUserSubscribedAlert",
              {ByRef("i_aUserID"), In("i_nNotificationType", "ENotificationType"),
               In("i_nAlertType", "EAlertType"), OptionalByRef("i_oCnnConnection"),
               OptionalByRef("o_oDicNotificationType")})
          .Method<&Alert::SetExpiryFlagAndStatus>(
              "SetExpiryFlagAndStatus",
              {In("i_bExpireAlert"), Optional("i_lAlertID"), Optional("i_sUserID"),
               Optional("i_nAlertType"), Optional("i_sDocumentHeaderID"),
               Optional("i_sDocumentLineID"), Optional("i_lRevisionID"),
               Optional("i_lBusinessPartner"), Optional("i_nDocumentType"),
               Optional("i_dActivationDate")})
          .Method<&Alert::ExpireAlertsforMultipleDocuments>(
              "ExpireAlertsforMultipleDocuments",
              {In("i_aDocumentHeaderID"), In("i_nDocumentType", "EDocumentType")})
          .Method<&Alert::ExpireAlerts>("ExpireAlerts")
          .Method<&Alert::UpdateStatus>(
              "UpdateStatus", {In("i_lAlerterID"), In("i_nAlerterStatus", "EAlertStatus")})
          .Method<&Alert::GetAlertDetails>(
              "GetAlertDetails", {In("i_lAlerterID"), Optional("i_aFields")}, "Dictionary")
          .Method<&Alert::RaiseAlerts>("RaiseAlerts", {In("i_oDicAlerts", "Dictionary")})
          .Method<&Alert::SendMailAlerts>("SendMailAlerts")
          .Method<&Alert::SendMail>(
              "SendMail", {In("i_sReceiverID"), In("i_sSenderID"), In("i_sSubject"), In("i_sBody"),
                           Optional("i_aFilePaths")})
          .Method<&Alert::DeleteSubscriptions>("DeleteSubscriptions", {In("i_sUserID")})
          .Method<&Alert::GetI18NText>("GetI18NText", {In("i_sLabelCode"), In("i_lLocale")})
          .Method<&Alert::SetExpiryFlagForReminder>(
              "SetExpiryFlagForReminder", {In("i_lBusinessPartnerID"), In("i_sDocumentHeaderID"),
                                           Optional("i_sDocumentLineID")})
          .Build();
  return info;
}

bool Alert::IsUserSubscribedAlert(Variant& i_aUserID, int32_t i_nNotificationType,
                                  int32_t i_nAlertType, Variant& i_oCnnConnection,
                                  Variant& o_oDicNotificationType) {
  return shared::MethodShape("QuorvanGeneral.Alert.IsUserSubscribedAlert").Run([&] {
    shared::TextBuilder builder;
    MethodConnection connection(i_oCnnConnection);
    const SafeArray& users = i_aUserID.array();
    for (int32_t i = users.LBound(); i <= users.UBound(); ++i) {
      if (i > users.LBound()) builder.Add(" OR ");
      builder.Add("USERID=").Add(shared::FormatString(Variant(users.at(i).ToString())));
    }
    const std::string user_condition = builder.Value();
    builder.Reset();
    const std::string statement =
        "SELECT USERID,WEBALERT,MAILALERT FROM ALERTSSUBSCRIPTION WHERE (" + user_condition +
        ") AND ALERTTYPE = " + std::to_string(i_nAlertType) + ChannelCondition(i_nNotificationType);
    shared::ScopedRecordset rows(data::Recordset::Create());
    rows->Open(Variant(statement), Variant(ObjectPtr(connection.get())),
               Variant(data::kOpenForwardOnly), Variant(data::kLockReadOnly), Variant(-1));
    if (rows->AtEnd()) return false;
    if (Passed(o_oDicNotificationType)) {
      ObjectPtr target = o_oDicNotificationType.ToObject();
      if (!target) RaiseRuntimeError(runtime_error::kObjectNotSet);
      for (; !rows->AtEnd(); rows->MoveNext()) {
        Variant flags =
            Variant::FromArray(SafeArray::Of({rows->Value(size_t{1}), rows->Value(size_t{2})}));
        target->Call("Add", rows->Value(size_t{0}), flags);
      }
    }
    return true;
  });
}

void Alert::RaiseAlerts(const ObjectPtr& i_oDicAlerts) {
  shared::MethodShape("QuorvanGeneral.Alert.RaiseAlerts").Run([&] {
    Dictionary& alerts = Dictionary::Require(i_oDicAlerts);
    if (alerts.Count() == 0) return;
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    auto row = Dictionary::Create();
    auto subscriptions = Dictionary::Create();
    Variant receivers = alerts.Keys();
    const SafeArray& first = alerts.entries().front().item.array();
    Variant connection_argument{ObjectPtr(connection.get())};
    Variant subscription_argument{ObjectPtr(subscriptions)};
    IsUserSubscribedAlert(receivers, first.at(0).ToLong(), first.at(1).ToLong(),
                          connection_argument, subscription_argument);
    const Variant now = Variant::FromDate(NowDateSerial());
    for (const Dictionary::Entry& entry : std::vector<Dictionary::Entry>(alerts.entries())) {
      const std::string receiver = entry.key.ToString();
      const Variant* subscription = subscriptions->Find(Variant(receiver));
      if (subscription == nullptr) continue;
      const SafeArray& item = entry.item.array();
      const int32_t web = subscription->array().at(0).ToLong();
      const int32_t mail = subscription->array().at(1).ToLong();
      if ((web & mail) != 0) {
        row->Add(Variant("NOTIFICATIONTYPE"), Variant(3));
        row->Add(Variant("STATUS"), Variant(2));
      } else if (web != 0) {
        row->Add(Variant("NOTIFICATIONTYPE"), Variant(1));
        row->Add(Variant("STATUS"), Variant(2));
      } else if (mail != 0) {
        row->Add(Variant("NOTIFICATIONTYPE"), Variant(2));
        row->Add(Variant("STATUS"), Variant(1));
      }
      row->Add(Variant("ALERTTYPE"), item.at(1));
      row->Add(Variant("DOCUMENTHEADERID"), item.at(2));
      row->Add(Variant("DOCUMENTLINEID"), item.at(3));
      row->Add(Variant("ACTIVATIONDATE"), item.at(4));
      const bool no_expiry =
          item.at(5).IsEmpty() || item.at(5).ToString().find_first_not_of(' ') == std::string::npos;
      row->Add(Variant("EXPIRATIONDATE"), no_expiry ? Variant::Null() : item.at(5));
      row->Add(Variant("SENDERID"), item.at(6));
      row->Add(Variant("RECEIVERID"), Variant(receiver));
      row->Add(Variant("GENERATIONDATE"), now);
      row->Add(Variant("EXPIRED"), Variant(int16_t{0}));
      row->Add(Variant("MAILSENT"), Variant(int16_t{0}));
      row->Add(Variant("SUBJECT"), item.at(7));
      row->Add(Variant("BODY"), item.at(8));
      row->Add(Variant("BUSINESSPARTNERID"), item.at(9));
      row->Add(Variant("REVISION"), item.at(10));
      shared::InsertTable("ALERT", Variant(ObjectPtr(row)), connection.get());
      row->RemoveAll();
    }
  });
}

ObjectPtr Alert::GetAlertDetails(int32_t i_lAlerterID, const Variant& i_aFields) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetAlertDetails").Run([&] {
    auto details = Dictionary::Create();
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    shared::ScopedRecordset rows(data::Recordset::Create());
    shared::TextBuilder builder;
    std::vector<std::string> keys;
    std::string column_list = "*";
    if (Passed(i_aFields)) {
      const SafeArray& fields = i_aFields.array();
      for (int32_t i = fields.LBound(); i <= fields.UBound(); ++i) {
        if (i > fields.LBound()) builder.Add(",");
        keys.push_back(fields.at(i).ToString());
        builder.Add(keys.back());
      }
      column_list = builder.Value();
    } else {
      keys.assign(kDetailColumns.begin(), kDetailColumns.end());
    }
    rows->SetMaxRecords(1);
    rows->Open(Variant("SELECT " + column_list + " FROM ALERT WHERE ALERTERID = " +
                       shared::FormatLong(Variant(i_lAlerterID))),
               Variant(ObjectPtr(connection.get())), Variant(data::kOpenForwardOnly),
               Variant(data::kLockReadOnly), Variant(-1));
    if (rows->AtEnd()) RaiseAlertDoesNotExist();
    for (const std::string& key : keys) details->Add(Variant(key), rows->Value(Variant(key)));
    return ObjectPtr(details);
  });
}

void Alert::UpdateStatus(int32_t i_lAlerterID, int32_t i_nAlerterStatus) {
  shared::MethodShape("QuorvanGeneral.Alert.UpdateStatus").Run([&] {
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    Variant own_connection = Variant::Missing();
    const bool exists = shared::CheckIfExistsInTable(
        "ALERT", Variant::FromArray(SafeArray::Of({Variant("ALERTERID")})),
        Variant::FromArray(SafeArray::Of({Variant(i_lAlerterID)})),
        Variant::FromArray(SafeArray::Of({Variant(false)})), own_connection);
    if (!exists) RaiseAlertDoesNotExist();
    Execute(connection.get(),
            "UPDATE ALERT SET STATUS = " + std::to_string(i_nAlerterStatus) +
                " WHERE ALERTERID = " + shared::FormatLong(Variant(i_lAlerterID)));
  });
}

void Alert::UpdateMailSentFlag(int32_t alerter_id) {
  shared::MethodShape("QuorvanGeneral.Alert.UpdateMailSentFlag").Run([&] {
    ExecuteOnNewConnection("UPDATE ALERT SET MAILSENT = 1 WHERE ALERTERID = " +
                           shared::FormatLong(Variant(alerter_id)));
  });
}

}  // namespace quorvan::general
