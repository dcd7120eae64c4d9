// Alert mails end to end: due alerts read from SQLite and PostgreSQL, subjects and bodies
// composed from labels, MIME files in the pickup folder, and a real SMTP server on loopback.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/automation/class_registry.h"
#include "platform/automation/safe_array.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "tests/support/error_capture.h"
#include "tests/support/mail_reader.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"
#include "tests/support/tool_runner.h"

namespace quorvan {
namespace {

using data::Provider;
using testing::ErrorOf;
using testing::ReadMail;
using testing::RunOnFreshThread;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class AlertMailTest : public ::testing::TestWithParam<Provider> {
 protected:
  void SetUp() override {
    database_ = testing::InstallTestDatabase(installation_, GetParam());
    if (!database_) GTEST_SKIP();
    installation_.AddUser({"buyer", "Jane", "Doe", "jane@example.org", "1033", 1033, {2}});
    installation_.AddUser({"supplier", "Sam", "Seller", "sam@vendor.example", "1031", 1031, {6}});
    installation_.AddUser({"tanaka", "Hanako", "Tanaka", "tanaka@example.jp", "1041", 1041, {2}});
  }

  // One alert row; columns and values are SQL text.
  void AddAlert(const std::string& receiver, const std::string& sender, int type,
                const std::string& header, const std::string& extra_columns = "",
                const std::string& extra_values = "", int notification = 2) {
    database_->Run(
        "INSERT INTO ALERT (RECEIVERID, SENDERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, "
        "STATUS, "
        "EXPIRED, MAILSENT, GENERATIONDATE, ACTIVATIONDATE" +
        extra_columns + ") VALUES ('" + receiver + "', " + sender + ", " + std::to_string(type) +
        ", '" + header + "', " + std::to_string(notification) +
        ", 1, 0, 0, '2024-01-01 00:00:00', '2024-01-01 00:00:00'" + extra_values + ")");
  }

  std::vector<ReadMail> Mails() {
    return testing::ReadMailFolder(installation_.dir() + "/mail/pickup");
  }

  std::vector<int32_t> MailSent() {
    auto connection = data::Connection::Create();
    connection->Open(Variant(database_->connection_string()), Variant(), Variant(), Variant());
    std::vector<int32_t> flags;
    for (const auto& row :
         connection->ExecuteStatement("SELECT MAILSENT FROM ALERT ORDER BY ALERTERID", nullptr)
             ->AllRows()) {
      flags.push_back(row[0].ToLong());
    }
    return flags;
  }

  void SendMailAlerts() {
    RunOnFreshThread([] { CreateObject("QuorvanGeneral.Alert")->Call("SendMailAlerts"); });
  }

  testing::TestInstallation installation_;
  std::unique_ptr<testing::TestDatabase> database_;
};

TEST_P(AlertMailTest, DueAlertsAreMailedOnceWithTheirOwnOrComposedTexts) {
  AddAlert("buyer", "'supplier'", 9, "1234", ", SUBJECT, BODY, REVISION",
           ", 'Own subject', 'Own body', 2");
  AddAlert("buyer", "''", 9, "1234", ", REVISION", ", 2");
  AddAlert("buyer", "''", 8, "C-9");
  AddAlert("ghost", "''", 8, "C-9");             // receiver unknown
  AddAlert("buyer", "''", 8, "WEB", "", "", 1);  // web only
  AddAlert("buyer", "''", 8, "LATE", ", EXPIRATIONDATE", ", '2001-01-01 00:00:00'");  // past expiry
  database_->Run(
      "INSERT INTO ALERT (RECEIVERID, SENDERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, "
      "STATUS, "
      "EXPIRED, MAILSENT, GENERATIONDATE, ACTIVATIONDATE) VALUES ('buyer', '', 8, 'SOON', 2, 1, 0, "
      "0, "
      "'2024-01-01 00:00:00', '2999-01-01 00:00:00')");  // not yet active
  SendMailAlerts();
  EXPECT_EQ(MailSent(), (std::vector<int32_t>{1, 1, 1, 0, 0, 0, 0}));
  const auto mails = Mails();
  ASSERT_EQ(mails.size(), 3u);
  // Ordered by receiver, then sender: the two without sender come first.
  const ReadMail& own = mails[2];
  EXPECT_EQ(own.from, "sam@vendor.example");
  EXPECT_EQ(own.to, "jane@example.org");
  EXPECT_EQ(own.subject, "Own subject");
  EXPECT_EQ(own.body(), "Own body");
  EXPECT_TRUE(Contains(own.content_type, "multipart/mixed"));
  const ReadMail& quotation =
      mails[0].subject.find("Quotation") != std::string::npos ? mails[0] : mails[1];
  EXPECT_EQ(quotation.from, "quorvan@localhost");  // no sender: the originating address
  EXPECT_EQ(quotation.subject, "Alert: Quotation -1234/2");
  EXPECT_EQ(quotation.body(),
            "Dear Jane Doe,\r\nthere is news for you in the sourcing application.\r\n\r\nA "
            "quotation was received.\r\n" +
                std::string(100, '-') +
                "\r\nOpen the document:\r\nhttp://localhost/sourcing/Sourcing/bil/response/ASP/"
                "QuotationLineList%2Easp?Origin=2&DocType=2&Id=1234&Revision=2\r\n\r\nThe sourcing "
                "application:\r\n"
                "http://localhost/sourcing/\r\n\r\nThis mail was sent automatically. Please do not "
                "reply to it.");
  const ReadMail& contract = &quotation == &mails[0] ? mails[1] : mails[0];
  EXPECT_EQ(contract.subject, "Alert: Contract -C-9");
  SendMailAlerts();  // nothing is mailed twice
  EXPECT_EQ(Mails().size(), 3u);
}

TEST_P(AlertMailTest, ANullSenderIsMailedFromTheOriginatingAddressAndDoesNotStopTheRun) {
  AddAlert("buyer", "NULL", 8, "C-1");
  AddAlert("buyer", "'supplier'", 8, "C-2");
  SendMailAlerts();
  EXPECT_EQ(MailSent(), (std::vector<int32_t>{1, 1}));
  std::map<std::string, std::string> senders;  // subject -> sender
  for (const ReadMail& mail : Mails()) senders[mail.subject] = mail.from;
  EXPECT_EQ(senders.at("Alert: Contract -C-1"), "quorvan@localhost");
  EXPECT_EQ(senders.at("Alert: Contract -C-2"), "sam@vendor.example");
}

TEST_P(AlertMailTest, LinksAndNamesFollowTheReceiver) {
  database_->Run("INSERT INTO RFIRESPONSE (RFIRESPONSEID, BUSINESSPARTNERID) VALUES (77, NULL)");
  database_->Run("INSERT INTO RFIRESPONSE (RFIRESPONSEID, BUSINESSPARTNERID) VALUES (78, 5)");
  installation_.AppendConfig("[GLOBAL]\nNONSECUREHOSTNAME = portal.example.com\n");
  AddAlert("buyer", "''", 11, "55", ", DOCUMENTLINEID", ", '3'");
  AddAlert("buyer", "''", 13, "56");
  AddAlert("buyer", "''", 20, "57");
  AddAlert("supplier", "''", 20, "58");
  AddAlert("buyer", "''", 21, "77");
  AddAlert("buyer", "''", 21, "78");
  AddAlert("tanaka", "''", 0, "59");
  SendMailAlerts();
  std::map<std::string, std::string> bodies;  // subject -> body
  for (const ReadMail& mail : Mails()) bodies[mail.subject] = mail.body();
  const std::string site = "http://portal.example.com/sourcing/";
  EXPECT_TRUE(Contains(bodies.at("Alert: Contract -55/3"),
                       site + "Tesmik/bil/contract/asp/ContractLineDetail.asp?ID=55&ID1=3\r\n"));
  EXPECT_TRUE(Contains(bodies.at("Alert: Contract -56"),
                       site + "Tesmik/bil/contract/asp/ContractHeaderAndLine.asp?ID=\r\n"));
  EXPECT_TRUE(
      Contains(bodies.at("Alert: RFI -57"),
               site + "Sourcing/bil/Response/ASP/ViewInternalRFIDetails.asp?Id=57&Origin=5\r\n"));
  EXPECT_TRUE(Contains(bodies.at("Benachrichtigung: Informationsanfrage -58"),
                       site + "Sourcing/sil/response/ASP/ViewRFIDetails.asp?Id=58\r\n"));
  EXPECT_TRUE(
      Contains(bodies.at("Benachrichtigung: Informationsanfrage -58"), "Guten Tag Sam Seller,"));
  EXPECT_TRUE(
      Contains(bodies.at("Alert: RFI -77"),
               site + "Sourcing/bil/response/ASP/InternalRFIResponseDetails.asp?Id=77\r\n"));
  EXPECT_TRUE(Contains(bodies.at("Alert: RFI -78"),
                       site + "Sourcing/bil/response/ASP/RFIResponse.asp?Id=78\r\n"));
  // No labels for locale 1041: the label codes stand in; type 0 has no event line and no link.
  const std::string& unknown_type = bodies.at("SLBCT0518-59");
  EXPECT_TRUE(Contains(unknown_type, "SLBCT0522 Tanaka Hanako,\r\nSLBCT0523\r\n\r\n\r\n---"))
      << unknown_type;
  EXPECT_TRUE(Contains(unknown_type, "\r\nSLBCT0524\r\n\r\n\r\nSLBCT0525\r\n")) << unknown_type;
}

TEST_P(AlertMailTest, SendMailRefusesBadInputAndWritesNothing) {
  const std::string attachment = installation_.dir() + "/offer.pdf";
  { std::ofstream(attachment, std::ios::binary) << std::string("%PDF\0\xFF", 6); }
  RunOnFreshThread([&] {
    ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
    EXPECT_EQ(ErrorOf([&] { alert->Call("SendMail", "", "a@x", "s", "b"); }).number,
              0);  // no receiver: nothing
    const ErrorRecord missing = ErrorOf([&] {
      alert->Call("SendMail", "b@y", "a@x", "s", "b",
                  Variant::FromArray(SafeArray::Of({Variant("C:\\none\\gone.pdf")})));
    });
    EXPECT_EQ(missing.number, 53);
    EXPECT_TRUE(Contains(missing.description, " METHOD: QuorvanGeneral.Alert.SendMail\r\n"));
    EXPECT_EQ(
        ErrorOf([&] { alert->Call("SendMail", "b@y", "a@x", "s\r\nBcc: all@z", "b"); }).number, 5);
    EXPECT_TRUE(Mails().empty());
    alert->Call("SendMail", "b@y", "", "With file", "see attached",
                Variant::FromArray(SafeArray::Of(
                    {Variant(installation_.dir() + "\\offer.pdf")})));  // "\" works too
  });
  const auto mails = Mails();
  ASSERT_EQ(mails.size(), 1u);
  ASSERT_EQ(mails[0].parts.size(), 2u);
  EXPECT_EQ(mails[0].parts[1].disposition, "attachment; filename=\"offer.pdf\"");
  EXPECT_EQ(mails[0].parts[1].content, std::string("%PDF\0\xFF", 6));
  EXPECT_EQ(mails[0].from, "quorvan@localhost");
}

INSTANTIATE_TEST_SUITE_P(Providers, AlertMailTest,
                         ::testing::Values(Provider::kSQLite, Provider::kPostgreSQL),
                         [](const auto& info) {
                           return std::string(testing::ProviderName(info.param));
                         });

class AlertSmtpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("QUORVAN_TEST_SMTP_PORT");
    const char* maildir = std::getenv("QUORVAN_TEST_SMTP_MAILDIR");
    ASSERT_TRUE(port && maildir) << "run through scripts/test, which starts an SMTP server";
    port_ = port;
    maildir_ = maildir;
    database_.ApplySchema();
    installation_.UseDatabase(database_.connection_string());
    installation_.AddUser({"buyer", "Jane", "Doe", "jane@example.org", "1033", 1033, {2}});
  }
  std::string port_;
  std::string maildir_;
  testing::TestInstallation installation_;
  testing::TestDatabase database_{Provider::kSQLite};
};

TEST_F(AlertSmtpTest, MailsReachTheServerAndAFailingServerStopsTheRun) {
  const std::string subject = "SMTP check " + std::to_string(getpid()) + " " + installation_.dir();
  database_.Run(
      "INSERT INTO ALERT (RECEIVERID, SENDERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, "
      "STATUS, EXPIRED, "
      "MAILSENT, GENERATIONDATE, ACTIVATIONDATE, SUBJECT, BODY) VALUES ('buyer', '', 9, 'Q', 2, 1, "
      "0, 0, "
      "'2024-01-01 00:00:00', '2024-01-01 00:00:00', '" +
      subject +
      "', 'Gr\xC3\xBC\xC3\x9F"
      "e')");
  installation_.AppendConfig(
      "[mail]\nTransport = smtp\nSmtpHost = 127.0.0.1\nSmtpPort = 1\nSmtpTimeout = 2\n");
  RunOnFreshThread([&] {
    const ErrorRecord down =
        ErrorOf([] { CreateObject("QuorvanGeneral.Alert")->Call("SendMailAlerts"); });
    EXPECT_EQ(down.number, static_cast<int32_t>(0x80040213u));
    EXPECT_TRUE(Contains(down.description, " METHOD: QuorvanGeneral.Alert.SendMail\r\n"))
        << down.description;
  });
  auto connection = data::Connection::Create();
  connection->Open(Variant(database_.connection_string()), Variant(), Variant(), Variant());
  EXPECT_EQ(connection->ExecuteStatement("SELECT MAILSENT FROM ALERT", nullptr)
                ->Value(size_t{0})
                .ToLong(),
            0);

  installation_.AppendConfig("[mail]\nSmtpPort = " + port_ + "\n");
  RunOnFreshThread([] { CreateObject("QuorvanGeneral.Alert")->Call("SendMailAlerts"); });
  EXPECT_EQ(connection->ExecuteStatement("SELECT MAILSENT FROM ALERT", nullptr)
                ->Value(size_t{0})
                .ToLong(),
            1);
  bool received = false;
  for (const ReadMail& mail : testing::ReadMailFolder(maildir_ + "/new")) {
    if (mail.subject != subject) continue;
    received = true;
    EXPECT_EQ(mail.to, "jane@example.org");
    EXPECT_EQ(mail.body(),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
  }
  EXPECT_TRUE(received);
}

TEST_F(AlertSmtpTest, OnlyOneMailRunAtATime) {
  const std::string lock = installation_.dir() + "/.send-mail-alerts.lock";
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0640);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const testing::ToolRun second = testing::RunTool({"run", "send-mail-alerts"});
  ::close(fd);
  EXPECT_EQ(second.exit_status, 1);
  EXPECT_TRUE(Contains(second.out, "another send-mail-alerts run is in progress")) << second.out;
  const testing::ToolRun alone = testing::RunTool({"run", "send-mail-alerts"});
  EXPECT_EQ(alone.exit_status, 0) << alone.out;
  EXPECT_TRUE(Contains(alone.out, "\"mailed\": 0")) << alone.out;
}

}  // namespace
}  // namespace quorvan
