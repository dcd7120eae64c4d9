// Subscriptions ("authorisations"): per user and alert type, whether alerts reach the web
// page and the mailbox.
#include <array>

#include "general/alerts/alert.h"
#include "general/alerts/alert_support.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/object_context.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "shared/general.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {
namespace {

struct RoleDefault {
  int32_t alert_type;
  bool always;  // added without looking; otherwise only when the type is absent
};

// The alert types a role's users get a row for, in the order the rows are added.
constexpr std::array kBuyerDefaults{
    RoleDefault{8, false},  RoleDefault{1, false},  RoleDefault{2, false},  RoleDefault{3, false},
    RoleDefault{6, false},  RoleDefault{9, false},  RoleDefault{10, false}, RoleDefault{13, false},
    RoleDefault{15, false}, RoleDefault{11, false}, RoleDefault{12, false}, RoleDefault{14, false},
    RoleDefault{16, false}, RoleDefault{17, false}, RoleDefault{18, false}, RoleDefault{19, false},
    RoleDefault{21, false}, RoleDefault{25, false}, RoleDefault{24, false}, RoleDefault{23, false},
    RoleDefault{28, false}, RoleDefault{26, false}, RoleDefault{27, false}, RoleDefault{5, true},
    RoleDefault{4, true},   RoleDefault{7, true},   RoleDefault{20, false}, RoleDefault{22, true}};
constexpr std::array kSupplierDefaults{
    RoleDefault{1, true},  RoleDefault{2, true},  RoleDefault{3, true},  RoleDefault{6, true},
    RoleDefault{9, true},  RoleDefault{10, true}, RoleDefault{13, true}, RoleDefault{15, true},
    RoleDefault{11, true}, RoleDefault{12, true}, RoleDefault{14, true}, RoleDefault{16, true},
    RoleDefault{17, true}, RoleDefault{18, true}, RoleDefault{19, true}, RoleDefault{21, true},
    RoleDefault{25, true}, RoleDefault{24, true}, RoleDefault{23, true}, RoleDefault{27, true}};

constexpr int32_t kBuyer = 2;
constexpr int32_t kSupplier = 3;

// Completes the caller's dictionary with (0, 0) entries for the role's alert types; an
// always-added type that is already there fails with the duplicate-key error.
void AddRoleDefaults(Dictionary& authorisations, int32_t role) {
  auto add = [&](const auto& defaults) {
    for (const RoleDefault& entry : defaults) {
      const Variant key(entry.alert_type);
      if (!entry.always && authorisations.Exists(key)) continue;
      authorisations.Add(
          key, Variant::FromArray(SafeArray::Of({Variant(int16_t{0}), Variant(int16_t{0})})));
    }
  };
  if (role == kBuyer) add(kBuyerDefaults);
  if (role == kSupplier) add(kSupplierDefaults);
}

// A database transaction of the method's own, where no transaction context is in charge, so
// that a failure half way leaves the user's rows as they were.
class OwnTransaction {
 public:
  explicit OwnTransaction(shared::ConnectionPtr& connection)
      : connection_(ObjectContext::Current() == nullptr ? connection : nullptr) {
    if (connection_) connection_->BeginTrans();
  }
  ~OwnTransaction() {
    if (!connection_ || committed_) return;
    try {
      connection_->RollbackTrans();
    } catch (...) {
      // the pooled session rolls back when it is returned in any case
    }
  }
  OwnTransaction(const OwnTransaction&) = delete;
  OwnTransaction& operator=(const OwnTransaction&) = delete;
  void Commit() {
    if (connection_) connection_->CommitTrans();
    committed_ = true;
  }

 private:
  shared::ConnectionPtr connection_;
  bool committed_ = false;
};

}  // namespace

ObjectPtr Alert::GetAlertsSubscriptionsForUser(const std::string& i_sUserID) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetAlertsSubscriptionsForUser")
      .Run([&]() -> ObjectPtr {
        shared::ScopedRecordset rows(data::Recordset::Create());
        auto authorisations = Dictionary::Create();
        shared::ScopedConnection connection(shared::GetTesmikConnection());
        rows->Open(Variant("SELECT * FROM ALERTSSUBSCRIPTION WHERE USERID = " +
                           shared::FormatString(Variant(i_sUserID))),
                   Variant(ObjectPtr(connection.get())), Variant(data::kOpenForwardOnly),
                   Variant(data::kLockReadOnly), Variant(-1));
        if (rows->AtEnd()) return nullptr;
        for (; !rows->AtEnd(); rows->MoveNext()) {
          authorisations->Add(
              rows->Value(Variant("ALERTTYPE")),
              Variant::FromArray(SafeArray::Of(
                  {rows->Value(Variant("WEBALERT")), rows->Value(Variant("MAILALERT"))})));
        }
        return authorisations;
      });
}

void Alert::InsertOrUpdateAuthorisations(const std::string& i_sUserID,
                                         const ObjectPtr& i_oDicAuthorisations,
                                         int32_t i_nUserRole) {
  shared::MethodShape("QuorvanGeneral.Alert.InsertOrUpdateAuthorisations").Run([&] {
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    Variant own_connection = Variant::Missing();
    const bool has_rows = shared::CheckIfExistsInTable(
        "ALERTSSUBSCRIPTION", Variant::FromArray(SafeArray::Of({Variant("USERID")})),
        Variant::FromArray(SafeArray::Of({Variant(i_sUserID)})),
        Variant::FromArray(SafeArray::Of({Variant(true)})), own_connection);
    OwnTransaction transaction(connection.get());
    if (has_rows) {
      auto criteria = Dictionary::Create();
      criteria->Add(Variant("USERID"), Variant(i_sUserID));
      shared::DeleteTable("ALERTSSUBSCRIPTION", Variant(ObjectPtr(criteria)), connection.get());
    }
    Variant connection_argument{ObjectPtr(connection.get())};
    InsertAuthorisations(i_sUserID, i_oDicAuthorisations, i_nUserRole, connection_argument);
    transaction.Commit();
  });
}

void Alert::InsertAuthorisations(const std::string& i_sUserID,
                                 const ObjectPtr& i_oDicAuthorisations, int32_t i_nUserRole,
                                 Variant& i_oCnnConnection) {
  shared::MethodShape("QuorvanGeneral.Alert.InsertAuthorisations").Run([&] {
    shared::ScopedRecordset rows(data::Recordset::Create());
    MethodConnection connection(i_oCnnConnection);
    rows->Open(Variant("SELECT * FROM ALERTSSUBSCRIPTION WHERE 1=0"),
               Variant(ObjectPtr(connection.get())), Variant(data::kOpenStatic),
               Variant(data::kLockBatchOptimistic), Variant(1));
    Dictionary& authorisations = Dictionary::Require(i_oDicAuthorisations);
    AddRoleDefaults(authorisations, i_nUserRole);
    for (const Dictionary::Entry& entry : authorisations.entries()) {
      const SafeArray& flags = entry.item.array();
      rows->AddNew(Variant(), Variant());
      rows->SetValue(Variant("USERID"), Variant(i_sUserID));
      rows->SetValue(Variant("ALERTTYPE"), entry.key);
      rows->SetValue(Variant("WEBALERT"), flags.at(0));
      rows->SetValue(Variant("MAILALERT"), flags.at(1));
    }
    rows->UpdateBatch(Variant(data::kAffectAll));
  });
}

void Alert::BatchUpdateAuthorisations(const std::string& i_sUserID,
                                      const ObjectPtr& i_oDicAuthorisations,
                                      Variant& i_oCnnConnection) {
  shared::MethodShape("QuorvanGeneral.Alert.BatchUpdateAuthorisations").Run([&] {
    shared::TextBuilder builder;
    MethodConnection connection(i_oCnnConnection);
    Dictionary& authorisations = Dictionary::Require(i_oDicAuthorisations);
    bool first = true;
    for (const Dictionary::Entry& entry : authorisations.entries()) {
      if (!first) builder.Add(" OR ");
      first = false;
      builder.Add("ALERTTYPE = ").Add(entry.key.ToString());
    }
    const std::string type_condition = builder.Value();
    builder.Reset();
    shared::ScopedRecordset rows(data::Recordset::Create());
    rows->Open(
        Variant("SELECT ALERTTYPE,WEBALERT,MAILALERT FROM ALERTSSUBSCRIPTION WHERE USERID = " +
                shared::FormatString(Variant(i_sUserID)) + " AND ( " + type_condition +
                " ) ORDER BY ALERTTYPE ASC"),
        Variant(ObjectPtr(connection.get())), Variant(data::kOpenStatic),
        Variant(data::kLockBatchOptimistic), Variant(1));
    rows->SetActiveConnection(Variant::Nothing());
    for (; !rows->AtEnd(); rows->MoveNext()) {
      const Variant flags = authorisations.Item(rows->Value(Variant("ALERTTYPE")));
      rows->SetValue(Variant("WEBALERT"), flags.array().at(0));
      rows->SetValue(Variant("MAILALERT"), flags.array().at(1));
    }
    rows->SetActiveConnection(Variant(ObjectPtr(connection.get())));
    rows->UpdateBatch(Variant(data::kAffectAll));
  });
}

void Alert::DeleteSubscriptions(const std::string& i_sUserID) {
  shared::MethodShape("QuorvanGeneral.Alert.DeleteSubscriptions").Transactional().Run([&] {
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    OwnTransaction transaction(connection.get());
    const std::string user = shared::FormatString(Variant(i_sUserID));
    Execute(connection.get(), "DELETE FROM ALERT WHERE RECEIVERID = " + user);
    Execute(connection.get(), "DELETE FROM ALERTSSUBSCRIPTION WHERE USERID = " + user);
    transaction.Commit();
  });
}

}  // namespace quorvan::general
