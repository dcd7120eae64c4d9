// "QuorvanGeneral.Alert" through late binding, as pages call it, on SQLite and PostgreSQL.
#include <gtest/gtest.h>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using data::Provider;
using testing::ErrorOf;
using testing::RunOnFreshThread;

constexpr int32_t kAlertDoesNotExist = static_cast<int32_t>(0x800407E9u);

Variant Array(std::initializer_list<Variant> items) {
  return Variant::FromArray(SafeArray::Of(items));
}

// The eleven elements of one receiver's alert.
Variant AlertItem(int32_t notification, int32_t type, const char* header,
                  const Variant& expiration = Variant(""), const char* sender = "sender1",
                  int32_t partner = 7, int32_t revision = 1) {
  return Array({Variant(notification), Variant(type), Variant(header), Variant("L1"),
                Variant::FromDate(NowDateSerial() - 1), expiration, Variant(sender),
                Variant("subject"), Variant("body"), Variant(partner), Variant(revision)});
}

class AlertTest : public ::testing::TestWithParam<Provider> {
 protected:
  void SetUp() override {
    database_ = testing::InstallTestDatabase(installation_, GetParam());
    if (!database_) GTEST_SKIP();
  }

  void Run(const std::string& sql) { database_->Run(sql); }

  void Subscribe(const std::string& user, int type, int web, int mail) {
    Run("INSERT INTO ALERTSSUBSCRIPTION (USERID, ALERTTYPE, WEBALERT, MAILALERT) VALUES ('" + user +
        "', " + std::to_string(type) + ", " + std::to_string(web) + ", " + std::to_string(mail) +
        ")");
  }

  // Inserts an alert row directly; returns nothing, ids start at 1 in insertion order.
  void AddAlert(const std::string& receiver, int type, const std::string& header, int notification,
                int status, int expired = 0, int mailsent = 0,
                const std::string& extra_columns = "", const std::string& extra_values = "") {
    Run("INSERT INTO ALERT (RECEIVERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, STATUS, "
        "EXPIRED, MAILSENT, "
        "GENERATIONDATE, ACTIVATIONDATE, BUSINESSPARTNERID, DOCUMENTLINEID, REVISION" +
        extra_columns + ") VALUES ('" + receiver + "', " + std::to_string(type) + ", '" + header +
        "', " + std::to_string(notification) + ", " + std::to_string(status) + ", " +
        std::to_string(expired) + ", " + std::to_string(mailsent) +
        ", '2024-01-01 10:00:00', '2024-01-01 10:00:00', 7, 'L1', 1" + extra_values + ")");
  }

  std::vector<std::vector<Variant>> Rows(const std::string& sql) {
    auto connection = data::Connection::Create();
    connection->Open(Variant(database_->connection_string()), Variant(), Variant(), Variant());
    return connection->ExecuteStatement(sql, nullptr)->AllRows();
  }

  int64_t Count(const std::string& where) {
    return Rows("SELECT COUNT(*) FROM ALERT WHERE " + where)[0][0].ToLong();
  }

  testing::TestInstallation installation_;
  std::unique_ptr<testing::TestDatabase> database_;
};

TEST_P(AlertTest, RaiseAlertsFollowsEachReceiversSubscription) {
  Subscribe("both", 9, 1, 1);
  Subscribe("mailonly", 9, 0, 1);
  Subscribe("ANN", 9, 1, 1);  // the receiver key "ann" differs in case: no row
  Subscribe("webonly", 9, 1, 0);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto alerts = Dictionary::Create();
    alerts->Add(Variant("both"), AlertItem(3, 9, "Q-1", Variant("   ")));
    alerts->Add(Variant("mailonly"),
                AlertItem(3, 9, "Q-1", Variant::FromDate(*ParseIsoDate("2030-05-06T07:08:09"))));
    alerts->Add(Variant("nobody"), AlertItem(3, 9, "Q-1"));
    alerts->Add(Variant("ann"), AlertItem(3, 9, "Q-1"));
    alert->Call("RaiseAlerts", ObjectPtr(alerts));
    auto mail_only = Dictionary::Create();
    mail_only->Add(Variant("webonly"), AlertItem(2, 9, "Q-2"));
    alert->Call("RaiseAlerts", ObjectPtr(mail_only));
  });
  const auto rows = Rows(
      "SELECT RECEIVERID, NOTIFICATIONTYPE, STATUS, ALERTTYPE, DOCUMENTHEADERID, EXPIRATIONDATE, "
      "SENDERID, "
      "EXPIRED, MAILSENT, BUSINESSPARTNERID, REVISION, SUBJECT FROM ALERT ORDER BY ALERTERID");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], Variant("both"));
  EXPECT_EQ(rows[0][1].ToLong(), 3);
  EXPECT_EQ(rows[0][2].ToLong(), 2);
  EXPECT_TRUE(rows[0][5].IsNull());
  EXPECT_EQ(rows[1][0], Variant("mailonly"));
  EXPECT_EQ(rows[1][1].ToLong(), 2);
  EXPECT_EQ(rows[1][2].ToLong(), 1);
  EXPECT_EQ(FormatIsoDate(rows[1][5].ToDate()), "2030-05-06T07:08:09");
  EXPECT_EQ(rows[1][6], Variant("sender1"));
  EXPECT_EQ(rows[1][7].ToLong(), 0);
  EXPECT_EQ(rows[1][9].ToLong(), 7);
  EXPECT_EQ(rows[1][11], Variant("subject"));
}

TEST_P(AlertTest, RaiseAlertsWithNoEntriesOpensNoConnection) {
  installation_.AppendConfig("[connections]\nHadrell = Provider=Nope\n");
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    EXPECT_EQ(ErrorOf([&] { alert->Call("RaiseAlerts", ObjectPtr(Dictionary::Create())); }).number,
              0);
  });
}

TEST_P(AlertTest, RaiseAlertsForTwoThousandReceiversWithQuotesAndUnicode) {
  std::vector<std::string> users;
  for (int i = 0; i < 2000; ++i) users.push_back("user" + std::to_string(i));
  users.push_back("o'brien");
  users.push_back("Zo\xC3\xAB \xE6\x9D\xB1");
  for (const std::string& user : users) {
    std::string quoted = user;
    for (size_t p = quoted.find('\''); p != std::string::npos; p = quoted.find('\'', p + 2))
      quoted.insert(p, "'");
    Subscribe(quoted, 4, 1, 0);
  }
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto alerts = Dictionary::Create();
    for (const std::string& user : users) alerts->Add(Variant(user), AlertItem(1, 4, "RFQ-9"));
    alert->Call("RaiseAlerts", ObjectPtr(alerts));
  });
  EXPECT_EQ(Count("1=1"), 2002);
  EXPECT_EQ(Count("RECEIVERID = 'o''brien'"), 1);
  EXPECT_EQ(Count("RECEIVERID = 'Zo\xC3\xAB \xE6\x9D\xB1'"), 1);
}

TEST_P(AlertTest, RaiseAlertsBadInput) {
  Subscribe("ann", 4, 1, 1);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto short_item = Dictionary::Create();
    short_item->Add(Variant("ann"), Array({Variant(1), Variant(4), Variant("RFQ")}));
    const ErrorRecord too_short =
        ErrorOf([&] { alert->Call("RaiseAlerts", ObjectPtr(short_item)); });
    EXPECT_EQ(too_short.number, 9);
    EXPECT_NE(too_short.description.find(" METHOD: QuorvanGeneral.Alert.RaiseAlerts\r\n"),
              std::string::npos);
    auto not_array = Dictionary::Create();
    not_array->Add(Variant("ann"), Variant("text"));
    EXPECT_EQ(ErrorOf([&] { alert->Call("RaiseAlerts", ObjectPtr(not_array)); }).number, 13);
    EXPECT_EQ(ErrorOf([&] { alert->Call("RaiseAlerts", "not a dictionary"); }).number, 424);
  });
  EXPECT_EQ(Count("1=1"), 0);
}

TEST_P(AlertTest, IsUserSubscribedAlertReportsMatchingUsersOnly) {
  Subscribe("A", 5, 1, 0);
  Subscribe("B", 5, 0, 1);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto found = Dictionary::Create();
    Variant args[] = {Array({Variant("A"), Variant("B")}), Variant(2), Variant(5),
                      Variant::Missing(), Variant(ObjectPtr(found))};
    EXPECT_EQ(alert->Invoke("IsUserSubscribedAlert", args), Variant(true));
    ASSERT_EQ(found->Count(), 1);
    EXPECT_EQ(found->entries()[0].key, Variant("B"));
    EXPECT_EQ(found->entries()[0].item.array().at(1).ToLong(), 1);
    Variant any_channel[] = {Array({Variant("A")}), Variant(0), Variant(5)};
    EXPECT_EQ(alert->Invoke("IsUserSubscribedAlert", any_channel), Variant(true));
    Variant other_type[] = {Array({Variant("A")}), Variant(3), Variant(6)};
    EXPECT_EQ(alert->Invoke("IsUserSubscribedAlert", other_type), Variant(false));
    Variant empty[] = {Variant::FromArray(SafeArray()), Variant(3), Variant(5)};
    EXPECT_NE(ErrorOf([&] { alert->Invoke("IsUserSubscribedAlert", empty); }).number, 0);
    Variant no_array[] = {Variant("A"), Variant(3), Variant(5)};
    EXPECT_EQ(ErrorOf([&] { alert->Invoke("IsUserSubscribedAlert", no_array); }).number, 13);
  });
}

TEST_P(AlertTest, GetAlertDetailsAndUpdateStatus) {
  AddAlert("ann", 4, "RFQ-1", 3, 2);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    ObjectPtr all = alert->Call("GetAlertDetails", 1).ToObject();
    const auto& details = dynamic_cast<Dictionary&>(*all);
    ASSERT_EQ(details.Count(), 16);
    EXPECT_EQ(details.entries()[0].key, Variant("NOTIFICATIONTYPE"));
    EXPECT_FALSE(details.Exists(Variant("ALERTERID")));
    EXPECT_TRUE(details.Find(Variant("SUBJECT"))->IsNull());
    ObjectPtr two =
        alert->Call("GetAlertDetails", 1, Array({Variant("Subject"), Variant("STATUS")}))
            .ToObject();
    const auto& picked = dynamic_cast<Dictionary&>(*two);
    ASSERT_EQ(picked.Count(), 2);
    EXPECT_EQ(picked.entries()[0].key, Variant("Subject"));
    EXPECT_EQ(picked.entries()[1].item.ToLong(), 2);

    alert->Call("UpdateStatus", 1, 3);
    for (auto call : {std::function<void()>([&] { alert->Call("GetAlertDetails", 99); }),
                      std::function<void()>([&] { alert->Call("UpdateStatus", 99, 3); })}) {
      const ErrorRecord missing = ErrorOf(call);
      EXPECT_EQ(missing.number, kAlertDoesNotExist);
      EXPECT_EQ(missing.source, "Tesmik - Ardwynet");
      EXPECT_NE(missing.description.find(" DESC: Alert does not exist.\r\n"), std::string::npos);
    }
  });
  const auto row =
      Rows("SELECT STATUS, EXPIRED, NOTIFICATIONTYPE, MAILSENT FROM ALERT WHERE ALERTERID = 1")[0];
  EXPECT_EQ(row[0].ToLong(), 3);
  EXPECT_EQ(row[1].ToLong(), 0);
  EXPECT_EQ(row[2].ToLong(), 3);
}

TEST_P(AlertTest, RoleDefaultsAndAuthorisationReplacement) {
  auto rows_of = [&](const std::string& user) {
    std::map<int32_t, std::pair<int32_t, int32_t>> result;
    for (const auto& row :
         Rows("SELECT ALERTTYPE, WEBALERT, MAILALERT FROM ALERTSSUBSCRIPTION WHERE USERID = '" +
              user + "'")) {
      result[row[0].ToLong()] = {row[1].ToLong(), row[2].ToLong()};
    }
    return result;
  };
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto buyer = Dictionary::Create();
    buyer->Add(Variant(1), Array({Variant(1), Variant(1)}));
    alert->Call("InsertAuthorisations", "buyer", ObjectPtr(buyer), 2);
    EXPECT_EQ(buyer->Count(), 28);  // the caller sees the defaults

    auto supplier = Dictionary::Create();
    supplier->Add(Variant(4), Array({Variant(1), Variant(0)}));
    alert->Call("InsertAuthorisations", "supplier", ObjectPtr(supplier), 3);

    auto clash = Dictionary::Create();
    clash->Add(Variant(4), Array({Variant(1), Variant(1)}));
    EXPECT_EQ(
        ErrorOf([&] { alert->Call("InsertAuthorisations", "clash", ObjectPtr(clash), 2); }).number,
        457);

    auto admin = Dictionary::Create();
    admin->Add(Variant(9), Array({Variant(0), Variant(1)}));
    alert->Call("InsertOrUpdateAuthorisations", "admin", ObjectPtr(admin));

    // Replacing a set that then fails keeps the old set whole.
    EXPECT_EQ(ErrorOf([&] {
                alert->Call("InsertOrUpdateAuthorisations", "admin", ObjectPtr(clash), 2);
              }).number,
              457);
    auto replacement = Dictionary::Create();
    replacement->Add(Variant(1), Array({Variant(1), Variant(0)}));
    replacement->Add(Variant(3), Array({Variant(0), Variant(0)}));
    alert->Call("InsertOrUpdateAuthorisations", "buyer", ObjectPtr(replacement), 1);
  });
  const auto buyer = rows_of("buyer");
  ASSERT_EQ(buyer.size(), 2u);
  EXPECT_EQ(buyer.at(1), std::make_pair(1, 0));
  const auto supplier = rows_of("supplier");
  EXPECT_EQ(supplier.size(), 21u);
  EXPECT_EQ(supplier.at(4), std::make_pair(1, 0));
  for (int absent : {5, 7, 8, 20, 22, 26, 28}) EXPECT_EQ(supplier.count(absent), 0u) << absent;
  EXPECT_TRUE(rows_of("clash").empty());
  const auto admin = rows_of("admin");
  ASSERT_EQ(admin.size(), 1u);
  EXPECT_EQ(admin.at(9), std::make_pair(0, 1));
}

TEST_P(AlertTest, BuyerDefaultsGiveEveryAlertType) {
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto buyer = Dictionary::Create();
    buyer->Add(Variant(1), Array({Variant(1), Variant(1)}));
    alert->Call("InsertAuthorisations", "buyer", ObjectPtr(buyer), 2);
  });
  const auto rows =
      Rows("SELECT ALERTTYPE, WEBALERT, MAILALERT FROM ALERTSSUBSCRIPTION ORDER BY ALERTTYPE");
  ASSERT_EQ(rows.size(), 28u);
  EXPECT_EQ(rows[0][1].ToLong(), 1);
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i][1].ToLong() + rows[i][2].ToLong(), 0);
}

TEST_P(AlertTest, ReadingBatchUpdatingAndDeletingSubscriptions) {
  Subscribe("ann", 3, 1, 1);
  Subscribe("ann", 1, 1, 0);
  AddAlert("ann", 3, "RFQ-1", 3, 2);
  AddAlert("bob", 3, "RFQ-1", 3, 2, 0, 0, ", SENDERID", ", 'ann'");
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    EXPECT_EQ(alert->Call("GetAlertsSubscriptionsForUser", "nobody"), Variant::Nothing());
    ObjectPtr read = alert->Call("GetAlertsSubscriptionsForUser", "ann").ToObject();
    EXPECT_EQ(dynamic_cast<Dictionary&>(*read).Count(), 2);

    auto changes = Dictionary::Create();
    changes->Add(Variant(3), Array({Variant(0), Variant(1)}));
    changes->Add(Variant(99), Array({Variant(1), Variant(1)}));
    alert->Call("BatchUpdateAuthorisations", "ann", ObjectPtr(changes));
    auto text_keys = Dictionary::Create();
    text_keys->Add(Variant("1"), Array({Variant(0), Variant(0)}));
    EXPECT_EQ(ErrorOf([&] {
                alert->Call("BatchUpdateAuthorisations", "ann", ObjectPtr(text_keys));
              }).number,
              13);
    EXPECT_NE(ErrorOf([&] {
                alert->Call("BatchUpdateAuthorisations", "ann", ObjectPtr(Dictionary::Create()));
              }).number,
              0);

    alert->Call("DeleteSubscriptions", "ann");
  });
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM ALERTSSUBSCRIPTION")[0][0].ToLong(), 0);
  EXPECT_EQ(Count("RECEIVERID = 'ann'"), 0);
  EXPECT_EQ(Count("SENDERID = 'ann'"), 1);  // alerts the user sent stay
}

TEST_P(AlertTest, BatchUpdateChangesOnlyTheNamedTypes) {
  Subscribe("ann", 3, 1, 1);
  Subscribe("ann", 1, 1, 0);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    auto changes = Dictionary::Create();
    changes->Add(Variant(3), Array({Variant(0), Variant(1)}));
    changes->Add(Variant(99), Array({Variant(1), Variant(1)}));
    alert->Call("BatchUpdateAuthorisations", "ann", ObjectPtr(changes));
  });
  const auto rows =
      Rows("SELECT ALERTTYPE, WEBALERT, MAILALERT FROM ALERTSSUBSCRIPTION ORDER BY ALERTTYPE");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1].ToLong() * 10 + rows[0][2].ToLong(), 10);  // type 1 untouched
  EXPECT_EQ(rows[1][1].ToLong() * 10 + rows[1][2].ToLong(), 1);   // type 3 now (0, 1)
}

TEST_P(AlertTest, ExpiryByDocumentChannelAndReminder) {
  AddAlert("u1", 7, "H1", 3, 2);      // 1: counter-offer of H1
  AddAlert("u1", 17, "H1", 3, 2);     // 2
  AddAlert("u1", 9, "H1", 3, 2);      // 3: not a counter-offer type
  AddAlert("u2", 7, "H2", 3, 2);      // 4: other document
  AddAlert("u1", 5, "H3", 2, 1);      // 5: reminder, partner 7, line L1
  AddAlert("u1", 9, "A", 3, 2);       // 6
  AddAlert("u1", 9, "B", 3, 2);       // 7
  AddAlert("u1", 9, "C", 3, 2);       // 8: last element, not used
  AddAlert("m", 4, "X", 2, 1, 0, 1);  // 9: mail only, mailed
  AddAlert("m", 4, "X", 3, 2, 0, 1);  // 10: mail and web, mailed, not viewed
  AddAlert("m", 4, "X", 1, 3);        // 11: web only, viewed, no expiry date
  AddAlert("m", 4, "Y", 1, 2, 0, 0, ", EXPIRATIONDATE", ", '2001-01-01 00:00:00'");  // 12: past
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    std::vector<NamedArgument> named{{"i_sDocumentHeaderID", Variant("H1")},
                                     {"i_nDocumentType", Variant(3)}};
    Variant flag[] = {Variant(false)};
    alert->Invoke("SetExpiryFlagAndStatus", flag, named);
    alert->Call("ExpireAlertsforMultipleDocuments",
                Array({Variant("A"), Variant("B"), Variant("")}), 2);
    // One element leaves the list empty: PostgreSQL refuses "IN ( )", SQLite reads it as no
    // document. Either way nothing changes.
    const int32_t empty_list =
        ErrorOf([&] {
          alert->Call("ExpireAlertsforMultipleDocuments", Array({Variant("A")}), 2);
        }).number;
    EXPECT_EQ(empty_list != 0, GetParam() == Provider::kPostgreSQL);
    EXPECT_EQ(ErrorOf([&] { alert->Call("ExpireAlertsforMultipleDocuments", "A", 2); }).number, 13);
    alert->Call("SetExpiryFlagForReminder", 7, "H3", "L2");  // another line: nothing
    alert->Call("ExpireAlerts");
  });
  auto expired = [&](int id) {
    return Rows("SELECT EXPIRED, STATUS FROM ALERT WHERE ALERTERID = " + std::to_string(id))[0];
  };
  EXPECT_EQ(expired(1)[0].ToLong() * 10 + expired(1)[1].ToLong(), 13);
  EXPECT_EQ(expired(2)[0].ToLong() * 10 + expired(2)[1].ToLong(), 13);
  EXPECT_EQ(expired(3)[0].ToLong(), 0);
  EXPECT_EQ(expired(4)[0].ToLong(), 0);
  EXPECT_EQ(expired(5)[0].ToLong(), 0);
  EXPECT_EQ(expired(6)[0].ToLong() + expired(7)[0].ToLong(), 2);
  EXPECT_EQ(expired(8)[0].ToLong(), 0);
  EXPECT_EQ(expired(9)[0].ToLong(), 1);
  EXPECT_EQ(expired(10)[0].ToLong(), 0);
  EXPECT_EQ(expired(11)[0].ToLong(), 0);
  EXPECT_EQ(expired(12)[0].ToLong(), 1);
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    alert->Call("SetExpiryFlagForReminder", 7, "H3");
    Variant by_id[] = {Variant(true), Variant(4)};
    alert->Invoke("SetExpiryFlagAndStatus", by_id);
    // Arguments written into statements as digits are numbers first: no statement extension.
    std::vector<NamedArgument> injected{{"i_sDocumentHeaderID", Variant("H2")},
                                        {"i_nAlertType", Variant("7 OR 1=1")}};
    Variant flag[] = {Variant(true)};
    EXPECT_EQ(ErrorOf([&] { alert->Invoke("SetExpiryFlagAndStatus", flag, injected); }).number, 13);
    Variant injected_id[] = {Variant(true), Variant("1 OR 1=1")};
    EXPECT_EQ(ErrorOf([&] { alert->Invoke("SetExpiryFlagAndStatus", injected_id); }).number, 13);
  });
  EXPECT_EQ(expired(5)[0].ToLong(), 1);
  EXPECT_EQ(expired(4)[0].ToLong() * 10 + expired(4)[1].ToLong(), 12);  // STATUS kept
  EXPECT_EQ(Count("EXPIRED = 1"), 8);
  RunOnFreshThread([&] { CreateObject("QuorvanGeneral.Alert")->Call("BatchDeleteExpiredAlerts"); });
  EXPECT_EQ(Count("1=1"), 4);
  EXPECT_EQ(Count("EXPIRED = 1"), 0);
}

TEST_P(AlertTest, WebListingNewestFirstWithLimit) {
  Subscribe("ann", 4, 1, 1);
  Subscribe("ann", 9, 0, 1);  // web switched off for type 9
  for (int i = 0; i < 12; ++i) {
    Run("INSERT INTO ALERT (RECEIVERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, STATUS, "
        "EXPIRED, MAILSENT, "
        "GENERATIONDATE, ACTIVATIONDATE) VALUES ('ann', 4, 'D" +
        std::to_string(10 + i) + "', 1, 2, 0, 0, '2024-01-" + std::to_string(10 + i) +
        " 00:00:00', '2024-01-01 00:00:00')");
  }
  Run("INSERT INTO ALERT (RECEIVERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, STATUS, "
      "EXPIRED, MAILSENT, "
      "GENERATIONDATE, ACTIVATIONDATE) VALUES ('ann', 4, 'D99', 3, 2, 0, 0, '2024-01-21 00:00:00', "
      "'2024-01-01 00:00:00')");
  // Not listed: viewed, expired, mail only, not yet active, past expiry, web switched off.
  auto hidden = [&](int type, int notification, int status, int expired, const char* activation,
                    const char* expiration) {
    Run("INSERT INTO ALERT (RECEIVERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, STATUS, "
        "EXPIRED, MAILSENT, "
        "GENERATIONDATE, ACTIVATIONDATE, EXPIRATIONDATE) VALUES ('ann', " +
        std::to_string(type) + ", 'HID', " + std::to_string(notification) + ", " +
        std::to_string(status) + ", " + std::to_string(expired) + ", 0, '2024-02-01 00:00:00', '" +
        activation + "', " + expiration + ")");
  };
  hidden(4, 1, 3, 0, "2024-01-01 00:00:00", "NULL");
  hidden(4, 1, 2, 1, "2024-01-01 00:00:00", "NULL");
  hidden(4, 2, 2, 0, "2024-01-01 00:00:00", "NULL");
  hidden(4, 1, 2, 0, "2999-01-01 00:00:00", "NULL");
  hidden(4, 1, 2, 0, "2024-01-01 00:00:00", "'2001-01-01 00:00:00'");
  hidden(9, 1, 2, 0, "2024-01-01 00:00:00", "NULL");
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    ObjectPtr limited = alert->Call("GetWebAlertsForUser", "ann", 5).ToObject();
    auto& five = dynamic_cast<data::Recordset&>(*limited);
    const auto rows = five.AllRows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][1], Variant("D99"));  // newest first
    EXPECT_EQ(rows[4][1], Variant("D18"));
    EXPECT_EQ(five.FieldCount(), 5u);
    EXPECT_EQ(five.Column(0).name, "ALERTTYPE");
    EXPECT_EQ(five.ActiveConnection(), Variant::Nothing());
    EXPECT_EQ(five.CursorLocation(), data::kUseClient);
    ObjectPtr all = alert->Call("GetWebAlertsForUser", "ann", Variant::Missing()).ToObject();
    EXPECT_EQ(dynamic_cast<data::Recordset&>(*all).AllRows().size(), 13u);
    ObjectPtr none = alert->Call("GetWebAlertsForUser", "nobody", Variant::Missing()).ToObject();
    EXPECT_TRUE(dynamic_cast<data::Recordset&>(*none).AtEnd());
    EXPECT_EQ(ErrorOf([&] { alert->Call("GetWebAlertsForUser", "ann", "many"); }).number, 13);
  });
}

TEST_P(AlertTest, SameMomentOrdersByDocumentHighestFirst) {
  Subscribe("ann", 4, 1, 0);
  for (const char* header : {"B", "C", "A"}) {
    Run(std::string("INSERT INTO ALERT (RECEIVERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, "
                    "STATUS, EXPIRED, "
                    "MAILSENT, GENERATIONDATE, ACTIVATIONDATE) VALUES ('ann', 4, '") +
        header + "', 1, 2, 0, 0, '2024-01-10 00:00:00', '2024-01-01 00:00:00')");
  }
  RunOnFreshThread([&] {
    ObjectPtr listing = CreateObject("QuorvanGeneral.Alert")
                            ->Call("GetWebAlertsForUser", "ann", Variant::Missing())
                            .ToObject();
    const auto rows = dynamic_cast<data::Recordset&>(*listing).AllRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], Variant("C"));
    EXPECT_EQ(rows[2][1], Variant("A"));
  });
}

INSTANTIATE_TEST_SUITE_P(Providers, AlertTest,
                         ::testing::Values(Provider::kSQLite, Provider::kPostgreSQL),
                         [](const auto& info) {
                           return std::string(testing::ProviderName(info.param));
                         });

TEST(AlertClassTest, InterfaceInSlotOrder) {
  const ClassInfo& info = ClassRegistry::Instance().Describe("QuorvanGeneral.Alert");
  const char* expected[] = {"BatchDeleteExpiredAlerts",
                            "GetAlertsSubscriptionsForUser",
                            "InsertOrUpdateAuthorisations",
                            "BatchUpdateAuthorisations",
                            "InsertAuthorisations",
                            "GetWebAlertsForUser",
                            "IsUserSubscribedAlert",
                            "SetExpiryFlagAndStatus",
                            "ExpireAlertsforMultipleDocuments",
                            "ExpireAlerts",
                            "UpdateStatus",
                            "GetAlertDetails",
                            "RaiseAlerts",
                            "SendMailAlerts",
                            "SendMail",
                            "DeleteSubscriptions",
                            "GetI18NText",
                            "SetExpiryFlagForReminder"};
  ASSERT_EQ(info.members().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(info.members()[i].name, expected[i]);
  EXPECT_EQ(info.members()[7].params.size(), 10u);
  EXPECT_EQ(info.members()[7].params[9].name, "i_dActivationDate");
}

}  // namespace
}  // namespace quorvan
