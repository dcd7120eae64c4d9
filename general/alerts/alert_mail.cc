// Mail: dispatch of due alerts, one MIME mail each, with subjects and bodies composed from
// translated labels where the alert has none.
#include <array>
#include <fstream>
#include <sstream>

#include "general/alerts/alert.h"
#include "general/alerts/alert_support.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "platform/files/native_path.h"
#include "shared/general.h"
#include "shared/method_shape.h"
#include "shared/sql_literals.h"

namespace quorvan::general {
namespace {

// How the pieces after a page path are written.
enum class LinkForm {
  kHeader,                 // page H
  kHeaderRevisionEncoded,  // page "&Id=" H "&Revision=" R, the whole link encoded
  kHeaderAndLine,          // page H "&ID1=" N
  kPageOnly,               // page
  kRfiByUserType,          // supplier: page H; buyer: other page H "&Origin=5"
  kMessageByUserType,      // supplier: page H; buyer: other page H
  kRfiResponse,            // page chosen by the response's business partner, then H
};

struct MailType {
  int32_t alert_type;
  const char* label;
  const char* page;
  LinkForm form;
  const char* other_page;  // the second page of the forms that choose one
};

constexpr const char* kRfqPage = "Sourcing/bil/requirement/asp/RFQHeaderAndLine.asp?RFQHeaderId=";
constexpr const char* kRfqViewPage = "Sourcing/sil/response/ASP/RFQHeaderAndLineView.asp?Id=";
constexpr const char* kContractPage = "Tesmik/bil/contract/asp/ContractHeaderAndLine.asp?ID=";
constexpr const char* kSupplierQuotationsPage =
    "Sourcing/sil/response/ASP/QuotationLineList.asp?Origin=3&DocType=3";
constexpr const char* kBuyerCounterOffersPage =
    "Sourcing/bil/response/ASP/QuotationLineList.asp?Origin=3&DocType=3";
constexpr const char* kBuyerQuotationsPage =
    "Sourcing/bil/response/ASP/QuotationLineList.asp?Origin=2&DocType=2";
constexpr const char* kSupplierAuditPage =
    "Sourcing/SIL/Audit/ASP/AuditScheduleDetails.asp?AuditId=";
constexpr const char* kBuyerAuditPage = "Sourcing/BIL/Audit/ASP/AuditScheduleDetails.asp?AuditId=";
constexpr const char* kBuyerQuestionPage =
    "Sourcing/bil/Requirement/ASP/PostQuestion.asp?MessageId=";

constexpr std::array<MailType, 28> kMailTypes{{
    {1, "SLBCT0383", kRfqPage, LinkForm::kHeader, nullptr},
    {2, "SLBCT0384", kRfqPage, LinkForm::kHeader, nullptr},
    {3, "SLBCT0390", kRfqPage, LinkForm::kHeader, nullptr},
    {4, "SLBCT0385", kRfqViewPage, LinkForm::kHeader, nullptr},
    {5, "SLBCT0386", kRfqViewPage, LinkForm::kHeader, nullptr},
    {6, "SLBCT0395", kRfqPage, LinkForm::kHeader, nullptr},
    {7, "SLBCT0387", kSupplierQuotationsPage, LinkForm::kHeaderRevisionEncoded, nullptr},
    {8, "SLBCT0388", kContractPage, LinkForm::kHeader, nullptr},
    {9, "SLBCT0389", kBuyerQuotationsPage, LinkForm::kHeaderRevisionEncoded, nullptr},
    {10, "SLBCT0396", kContractPage, LinkForm::kHeader, nullptr},
    {11, "SLBCT0408",
     "Tesmik/bil/contract/asp/ContractLineDetail.asp?ID=", LinkForm::kHeaderAndLine, nullptr},
    {12, "SLBCT0409", kContractPage, LinkForm::kPageOnly, nullptr},
    {13, "SLBCT0410", kContractPage, LinkForm::kPageOnly, nullptr},
    {14, "SLBCT0411", kContractPage, LinkForm::kPageOnly, nullptr},
    {15, "SLBCT0412", kContractPage, LinkForm::kPageOnly, nullptr},
    {16, "SLBCT0650", kRfqPage, LinkForm::kHeader, nullptr},
    {17, "SLBCT0652", kBuyerCounterOffersPage, LinkForm::kHeaderRevisionEncoded, nullptr},
    {18, "SLBCT0654", kContractPage, LinkForm::kHeader, nullptr},
    {19, "SLBCT0663", "Sourcing/bil/requirement/ASP/RFIDetails.asp?Id=", LinkForm::kHeader,
     nullptr},
    {20, "SLBCT0661", "Sourcing/sil/response/ASP/ViewRFIDetails.asp?Id=", LinkForm::kRfiByUserType,
     "Sourcing/bil/Response/ASP/ViewInternalRFIDetails.asp?Id="},
    {21, "SLBCT0665", "Sourcing/bil/response/ASP/RFIResponse.asp?Id=", LinkForm::kRfiResponse,
     "Sourcing/bil/response/ASP/InternalRFIResponseDetails.asp?Id="},
    {22, "SLBCT0684", kSupplierAuditPage, LinkForm::kHeader, nullptr},
    {23, "SLBCT0685", kBuyerAuditPage, LinkForm::kHeader, nullptr},
    {24, "SLBCT0686", "Sourcing/BIL/Audit/ASP/AuditSheet.asp?AuditId=", LinkForm::kHeader, nullptr},
    {25, "SLBCT0687", kBuyerAuditPage, LinkForm::kHeader, nullptr},
    {26, "SLBCT0724", "Sourcing/sil/response/ASP/PostQuestion..asp?MessageId=",
     LinkForm::kMessageByUserType, kBuyerQuestionPage},
    {27, "SLBCT0723", kBuyerQuestionPage, LinkForm::kHeader, nullptr},
    {28, "SLBCT0744", kSupplierAuditPage, LinkForm::kHeader, nullptr},
}};

const MailType* MailTypeOf(int32_t alert_type) {
  for (const MailType& type : kMailTypes) {
    if (type.alert_type == alert_type) return &type;
  }
  return nullptr;
}

struct SubjectLabel {
  int32_t first;
  int32_t last;
  const char* label;
};

// The subject label of each alert type; types not listed get none.
constexpr std::array<SubjectLabel, 14> kSubjectLabels{{
    {1, 6, "SLBCT0520"},
    {16, 16, "SLBCT0520"},
    {7, 7, "SLBCT0521"},
    {17, 17, "SLBCT0521"},
    {8, 8, "SLBCT0001"},
    {10, 15, "SLBCT0001"},
    {18, 18, "SLBCT0001"},
    {9, 9, "SLBCT0143"},
    {19, 21, "SLBCT0667"},
    {22, 23, "SLBCT0688"},
    {28, 28, "SLBCT0688"},
    {24, 24, "SLBCT0689"},
    {25, 25, "SLBCT0690"},
    {26, 26, "SLBCT0724"},
}};

const char* SubjectLabelOf(int32_t alert_type) {
  if (alert_type == 27) return "SLBCT0723";
  for (const SubjectLabel& entry : kSubjectLabels) {
    if (alert_type >= entry.first && alert_type <= entry.last) return entry.label;
  }
  return nullptr;
}

// The text of a value read from a row: NULL gives the empty text.
std::string TextOf(const Variant& value) {
  return value.IsNull() ? std::string() : value.ToString();
}

std::string ReadAttachment(const std::string& path) {
  std::ifstream in(files::NativePath(path), std::ios::binary);
  if (!in) RaiseRuntimeError(runtime_error::kFileNotFound, path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

mail::TransportSettings TransportSettingsFromConfiguration() {
  ObjectPtr configuration = shared::GetComponent("Solvagen.Configuration").ToObject();
  auto value = [&](const char* key, const char* fallback) {
    Variant args[] = {Variant("mail"), Variant(key)};
    const Variant found = configuration->Invoke("GetValue", args);
    return found.IsEmpty() ? std::string(fallback) : found.ToString();
  };
  mail::TransportSettings settings;
  settings.kind = LowerAscii(value("Transport", "pickup"));
  settings.pickup_directory = files::NativePath(value("PickupDirectory", ""));
  settings.smtp_host = value("SmtpHost", "localhost");
  settings.smtp_port = Variant(value("SmtpPort", "25")).ToLong();
  settings.smtp_starttls = EqualsIgnoringCase(value("SmtpStartTls", "false"), "true");
  settings.smtp_user = value("SmtpUser", "");
  settings.smtp_password = value("SmtpPassword", "");
  settings.timeout_seconds = Variant(value("SmtpTimeout", "30")).ToLong();
  return settings;
}

// Keeps the mail transport on the object for the length of one mail run.
class RunTransport {
 public:
  explicit RunTransport(std::unique_ptr<mail::MailTransport>& slot) : slot_(slot) {
    slot_ = mail::MailTransport::Create(TransportSettingsFromConfiguration());
  }
  ~RunTransport() { slot_.reset(); }
  RunTransport(const RunTransport&) = delete;
  RunTransport& operator=(const RunTransport&) = delete;

 private:
  std::unique_ptr<mail::MailTransport>& slot_;
};

}  // namespace

int32_t Alert::ReceiverLocale() {
  if (!receiver_user_) RaiseRuntimeError(runtime_error::kObjectNotSet, "no receiver user");
  return receiver_user_->Call("GetLocaleID").ToLong();
}

std::string Alert::GetI18NText(const std::string& i_sLabelCode, int32_t i_lLocale) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetI18NText").Run([&] {
    ObjectPtr formatter = shared::GetComponent("VexaLibrary.Utilities").ToObject();
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    if (i_sLabelCode.empty()) return std::string();
    shared::ScopedRecordset rows(data::Recordset::Create());
    rows->SetMaxRecords(1);
    rows->Open(Variant("SELECT TEXT FROM I18NTEXT WHERE LOCALEID=" +
                       formatter->Call("FormatLong", i_lLocale).ToString() +
                       " AND LABEL=" + formatter->Call("FormatString", i_sLabelCode).ToString()),
               Variant(ObjectPtr(connection.get())), Variant(data::kOpenForwardOnly),
               Variant(data::kLockReadOnly), Variant(-1));
    if (rows->AtEnd()) return i_sLabelCode;
    return rows->Value(size_t{0}).ToString();  // a NULL text fails (error 94)
  });
}

std::string Alert::GetCrLf(int32_t count) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetCrLf").Run([&] {
    std::string breaks;
    for (int32_t i = 0; i < count; ++i) breaks += "\r\n";
    return breaks;
  });
}

std::string Alert::GetLine(int32_t count) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetLine").Run([&] {
    return count > 0 ? std::string(static_cast<size_t>(count), '-') : std::string();
  });
}

std::string Alert::GetSiteLink(const Variant& path) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetSiteLink").Run([&] {
    if (path.IsMissing()) return std::string();
    ObjectPtr wrapper = shared::GetComponent("QuorvanUtility.BrennoWrapper").ToObject();
    return wrapper->Call("GetSiteUrl").ToString() + path.ToString();
  });
}

// Every "." becomes "%2E"; all other bytes stay as they are (UTF-8 text is kept whole).
std::string Alert::EncodeLink(const std::string& link) {
  std::string encoded;
  encoded.reserve(link.size() + 8);
  for (char c : link) {
    if (c == '.') {
      encoded += "%2E";
    } else {
      encoded += c;
    }
  }
  return encoded;
}

std::string Alert::LinkFor(int32_t alert_type, const std::string& header, const std::string& line,
                           const std::string& revision) {
  const MailType* type = MailTypeOf(alert_type);
  if (type == nullptr) return std::string();
  switch (type->form) {
    case LinkForm::kHeader:
      return GetSiteLink(Variant(type->page)) + header;
    case LinkForm::kHeaderRevisionEncoded:
      return EncodeLink(GetSiteLink(Variant(type->page)) + "&Id=" + header +
                        "&Revision=" + revision);
    case LinkForm::kHeaderAndLine:
      return GetSiteLink(Variant(type->page)) + header + "&ID1=" + line;
    case LinkForm::kPageOnly:
      return GetSiteLink(Variant(type->page));
    case LinkForm::kRfiByUserType:
    case LinkForm::kMessageByUserType: {
      Variant supplier_type[] = {Variant(int16_t{6})};
      if (receiver_user_->Invoke("IsUserOfType", supplier_type).ToBool())
        return GetSiteLink(Variant(type->page)) + header;
      return GetSiteLink(Variant(type->other_page)) + header +
             (type->form == LinkForm::kRfiByUserType ? "&Origin=5" : "");
    }
    case LinkForm::kRfiResponse: {
      auto criteria = Dictionary::Create();
      criteria->Add(Variant("RESPONSEID"), Variant(header));
      ObjectPtr responses = shared::GetComponent("Kimbrel.RFIResponse").ToObject();
      Variant args[] = {Variant(ObjectPtr(criteria)),
                        Variant::FromArray(SafeArray::Of({Variant("BUSINESSPARTNERID")}))};
      ObjectPtr details = responses->Invoke("GetResponseDetails", args).ToObject();
      std::string partner =
          Dictionary::Require(details).Item(Variant("BUSINESSPARTNERID")).ToString();
      const bool has_partner = partner.find_first_not_of(' ') != std::string::npos;
      return GetSiteLink(Variant(has_partner ? type->page : type->other_page)) + header;
    }
  }
  return std::string();
}

std::string Alert::FormMailBody(int32_t alert_type, const std::string& header,
                                const std::string& line, const std::string& revision) {
  return shared::MethodShape("QuorvanGeneral.Mail.FormMailBody").Run([&] {
    if (!receiver_user_) RaiseRuntimeError(runtime_error::kObjectNotSet, "no receiver user");
    auto text = [&](const char* code) { return GetI18NText(code, ReceiverLocale()); };
    shared::TextBuilder body;
    body.Add(text("SLBCT0522")).Add(" ");
    const bool family_first = receiver_user_->Call("GetLanguageID").ToLong() == 1041;
    const std::string given = receiver_user_->Call("GetGivenName").ToString();
    const std::string family = receiver_user_->Call("GetFamilyName").ToString();
    body.Add(family_first ? family : given).Add(" ").Add(family_first ? given : family);
    body.Add(",").Add(GetCrLf(1)).Add(text("SLBCT0523")).Add(GetCrLf(2));
    std::string link;
    if (const MailType* type = MailTypeOf(alert_type)) {
      link = LinkFor(alert_type, header, line, revision);
      body.Add(text(type->label));
    }
    body.Add(GetCrLf(1))
        .Add(GetLine(100))
        .Add(GetCrLf(1))
        .Add(text("SLBCT0524"))
        .Add(GetCrLf(1))
        .Add(link);
    body.Add(GetCrLf(2)).Add(text("SLBCT0525")).Add(GetCrLf(1)).Add(GetSiteLink(Variant("")));
    body.Add(GetCrLf(2)).Add(text("SLBCT0526"));
    return body.Value();
  });
}

std::string Alert::GetSubjectForMail(int32_t alert_type, const std::string& header,
                                     const std::string& line, const std::string& revision) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetSubjectForMail").Run([&] {
    shared::TextBuilder subject;
    const int32_t locale = ReceiverLocale();
    subject.Add(GetI18NText("SLBCT0518", locale));
    if (const char* label = SubjectLabelOf(alert_type)) subject.Add(GetI18NText(label, locale));
    subject.Add("-").Add(header);
    if (!line.empty()) subject.Add("/").Add(line);
    if (!revision.empty()) subject.Add("/").Add(revision);
    return subject.Value();
  });
}

void Alert::SendMail(const std::string& i_sReceiverID, const std::string& i_sSenderID,
                     const std::string& i_sSubject, const std::string& i_sBody,
                     const Variant& i_aFilePaths) {
  shared::MethodShape("QuorvanGeneral.Alert.SendMail").Run([&] {
    if (i_sReceiverID.empty()) return;
    mail::MimeMessage message;
    message.to = i_sReceiverID;
    message.from = i_sSenderID.empty() ? CreateObject("QuorvanUtility.Parameter")
                                             ->Call("GetParameter", "ORIGINATINGEMAIL")
                                             .ToString()
                                       : i_sSenderID;
    message.subject = i_sSubject;
    message.body = i_sBody;
    if (Passed(i_aFilePaths)) {
      const SafeArray& paths = i_aFilePaths.array();
      for (int32_t i = 0; i <= paths.UBound(); ++i) {
        const std::string path = paths.at(i).ToString();
        message.attachments.push_back({mail::AttachmentNameOf(path), ReadAttachment(path)});
      }
    }
    std::unique_ptr<mail::MailTransport> own;  // outside a mail run: one for this mail
    mail::MailTransport* transport = run_transport_.get();
    if (transport == nullptr) {
      own = mail::MailTransport::Create(TransportSettingsFromConfiguration());
      transport = own.get();
    }
    transport->Send(message);
  });
}

void Alert::SendMailAlerts() {
  shared::MethodShape("QuorvanGeneral.Alert.SendMailAlerts").Run([&] {
    shared::TextBuilder builder;
    shared::ScopedRecordset rows(data::Recordset::Create());
    shared::ScopedConnection connection(shared::GetTesmikConnection());
    builder
        .Add(
            "SELECT "
            "RECEIVERID,SENDERID,SUBJECT,BODY,ALERTTYPE,DOCUMENTHEADERID,DOCUMENTLINEID,ALERTERID,"
            "REVISION")
        .Add(" FROM ALERT WHERE EXPIRED=0 AND (NOTIFICATIONTYPE = ")
        .Add("2")
        .Add(" OR NOTIFICATIONTYPE = ")
        .Add("3")
        .Add(") AND MAILSENT = 0")
        .Add(" AND ACTIVATIONDATE <=")
        .Add(shared::FormatDate(Variant::FromDate(NowDateSerial())))
        .Add(" AND (EXPIRATIONDATE >=")
        .Add(shared::FormatDate(Variant::FromDate(NowDateSerial())))
        .Add(" OR EXPIRATIONDATE IS NULL)")
        .Add(" ORDER BY RECEIVERID,SENDERID");
    rows->Open(Variant(builder.Value()), Variant(ObjectPtr(connection.get())),
               Variant(data::kOpenForwardOnly), Variant(data::kLockReadOnly), Variant(-1));
    RunTransport transport(run_transport_);
    std::string previous_receiver;
    std::string previous_sender;
    for (; !rows->AtEnd(); rows->MoveNext()) {
      // A row without receiver cannot be mailed; it is skipped like a receiver that cannot be
      // loaded, instead of stopping every run for good. A NULL sender is the empty sender.
      const Variant receiver_value = rows->Value(size_t{0});
      if (receiver_value.IsNull()) continue;
      const std::string receiver = receiver_value.ToString();
      const std::string sender = TextOf(rows->Value(size_t{1}));
      if (receiver != previous_receiver) receiver_user_ = shared::GetUserObject(receiver);
      if (sender != previous_sender && !sender.empty())
        sender_user_ = shared::GetUserObject(sender);
      previous_receiver = receiver;
      previous_sender = sender;
      std::string subject = TextOf(rows->Value(size_t{2}));
      std::string body = TextOf(rows->Value(size_t{3}));
      if (!receiver_user_ || (!sender.empty() && !sender_user_)) continue;
      const int32_t alert_type = rows->Value(size_t{4}).ToLong();
      const std::string header = TextOf(rows->Value(size_t{5}));
      const std::string line = TextOf(rows->Value(size_t{6}));
      const std::string revision = TextOf(rows->Value(size_t{8}));
      if (subject.empty()) subject = GetSubjectForMail(alert_type, header, line, revision);
      if (body.empty()) body = FormMailBody(alert_type, header, line, revision);
      SendMail(receiver_user_->Call("GetEmailAddress").ToString(),
               sender.empty() ? std::string() : sender_user_->Call("GetEmailAddress").ToString(),
               subject, body, Variant::Missing());
      UpdateMailSentFlag(rows->Value(size_t{7}).ToLong());
    }
  });
}

}  // namespace quorvan::general
