// The web listing: a user's alerts waiting to be viewed, newest first, as a detached row set.
#include "general/alerts/alert.h"
#include "general/alerts/alert_support.h"
#include "platform/automation/automation_date.h"
#include "platform/data/ado_constants.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {

ObjectPtr Alert::GetWebAlertsForUser(const std::string& i_sUserID,
                                     const Variant& i_lNumberOfRecords) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetWebAlertsForUser").Run([&]() -> ObjectPtr {
    shared::ScopedRecordset rows(data::Recordset::Create());
    rows->SetCursorLocation(data::kUseClient);
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    shared::TextBuilder builder;
    builder.Add("SELECT ALERT.ALERTTYPE,DOCUMENTHEADERID,DOCUMENTLINEID,REVISION,GENERATIONDATE")
        .Add(" FROM ALERT,ALERTSSUBSCRIPTION WHERE ALERTSSUBSCRIPTION.USERID =")
        .Add(shared::FormatString(Variant(i_sUserID)))
        .Add(" AND ALERT.RECEIVERID = ALERTSSUBSCRIPTION.USERID")
        .Add(" AND ALERT.ALERTTYPE = ALERTSSUBSCRIPTION.ALERTTYPE")
        .Add(" AND WEBALERT = 1 AND EXPIRED = 0 AND ACTIVATIONDATE <=")
        .Add(shared::FormatDate(Variant::FromDate(NowDateSerial())))
        .Add(" AND (EXPIRATIONDATE >=")
        .Add(shared::FormatDate(Variant::FromDate(NowDateSerial())))
        .Add(" OR EXPIRATIONDATE IS NULL)")
        .Add(" AND STATUS = ")
        .Add("2")
        .Add(" AND (NOTIFICATIONTYPE = ")
        .Add("1")
        .Add(" OR NOTIFICATIONTYPE = ")
        .Add("3")
        .Add(") ORDER BY GENERATIONDATE DESC,DOCUMENTHEADERID DESC");
    if (Passed(i_lNumberOfRecords)) rows->SetMaxRecords(i_lNumberOfRecords.ToLong());
    rows->Open(Variant(builder.Value()), Variant(ObjectPtr(connection.get())),
               Variant(data::kOpenForwardOnly), Variant(data::kLockReadOnly), Variant(-1));
    rows->SetActiveConnection(Variant::Nothing());
    shared::RecordsetPtr listing = rows.get();
    rows.get() = nullptr;  // handed to the caller, open and detached
    return listing;
  });
}

}  // namespace quorvan::general
