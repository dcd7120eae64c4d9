// "QuorvanGeneral.Alert": per-user alerts about documents, each user's subscriptions to alert
// types by channel (web, mail), their expiry, the web listing and (later) mail dispatch.
//
// Tables: ALERT (one row per alert and receiver) and ALERTSSUBSCRIPTION (one row per user and
// alert type, flags WEBALERT and MAILALERT). Every method opens its own connection through
// GetTesmikConnection unless it is handed the caller's, and follows the shared method shape.
//
// Mail: SendMailAlerts mails every due alert once, composing subject and body from the label
// texts of I18NTEXT in the receiver's language when the alert has none; the mail transport
// comes from the configuration's [mail] section (pickup folder or SMTP).
//
// State between calls: the receiver and sender membership user objects of the last mail run.
// An object must not serve two threads at once.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/object.h"
#include "platform/mail/mail_transport.h"
#include "shared/data_access.h"

namespace quorvan::general {

class Alert : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  // --- expiry (alert_expiry.cc) ---
  void BatchDeleteExpiredAlerts();
  void SetExpiryFlagAndStatus(bool i_bExpireAlert, const Variant& i_lAlertID,
                              const Variant& i_sUserID, const Variant& i_nAlertType,
                              const Variant& i_sDocumentHeaderID, const Variant& i_sDocumentLineID,
                              const Variant& i_lRevisionID, const Variant& i_lBusinessPartner,
                              const Variant& i_nDocumentType, const Variant& i_dActivationDate);
  void ExpireAlertsforMultipleDocuments(const Variant& i_aDocumentHeaderID,
                                        int32_t i_nDocumentType);
  void ExpireAlerts();
  void SetExpiryFlagForReminder(int32_t i_lBusinessPartnerID,
                                const std::string& i_sDocumentHeaderID,
                                const Variant& i_sDocumentLineID);

  // --- subscriptions (alert_subscriptions.cc) ---
  ObjectPtr GetAlertsSubscriptionsForUser(const std::string& i_sUserID);
  void InsertOrUpdateAuthorisations(const std::string& i_sUserID,
                                    const ObjectPtr& i_oDicAuthorisations, int32_t i_nUserRole);
  void BatchUpdateAuthorisations(const std::string& i_sUserID,
                                 const ObjectPtr& i_oDicAuthorisations, Variant& i_oCnnConnection);
  void InsertAuthorisations(const std::string& i_sUserID, const ObjectPtr& i_oDicAuthorisations,
                            int32_t i_nUserRole, Variant& i_oCnnConnection);
  void DeleteSubscriptions(const std::string& i_sUserID);

  // --- records (alert.cc) ---
  bool IsUserSubscribedAlert(Variant& i_aUserID, int32_t i_nNotificationType, int32_t i_nAlertType,
                             Variant& i_oCnnConnection, Variant& o_oDicNotificationType);
  void UpdateStatus(int32_t i_lAlerterID, int32_t i_nAlerterStatus);
  ObjectPtr GetAlertDetails(int32_t i_lAlerterID, const Variant& i_aFields);
  void RaiseAlerts(const ObjectPtr& i_oDicAlerts);
  void UpdateMailSentFlag(int32_t alerter_id);

  // --- web listing (alert_web_listing.cc) ---
  ObjectPtr GetWebAlertsForUser(const std::string& i_sUserID, const Variant& i_lNumberOfRecords);

  // --- mail (alert_mail.cc) ---
  void SendMailAlerts();
  void SendMail(const std::string& i_sReceiverID, const std::string& i_sSenderID,
                const std::string& i_sSubject, const std::string& i_sBody,
                const Variant& i_aFilePaths);
  std::string GetI18NText(const std::string& i_sLabelCode, int32_t i_lLocale);

  // --- internal operations of the mail run, on the object's receiver user ---
  std::string GetSubjectForMail(int32_t alert_type, const std::string& header,
                                const std::string& line, const std::string& revision);
  std::string FormMailBody(int32_t alert_type, const std::string& header, const std::string& line,
                           const std::string& revision);
  std::string GetCrLf(int32_t count);
  std::string GetLine(int32_t count);
  std::string GetSiteLink(const Variant& path);
  static std::string EncodeLink(const std::string& link);

  // Receiver and sender objects of the last mail run (null when none was loaded).
  const ObjectPtr& receiver_user() const { return receiver_user_; }
  void set_receiver_user(ObjectPtr user) { receiver_user_ = std::move(user); }

 private:
  int32_t ReceiverLocale();
  std::string LinkFor(int32_t alert_type, const std::string& header, const std::string& line,
                      const std::string& revision);

  ObjectPtr receiver_user_;  // set by SendMailAlerts, kept across calls
  ObjectPtr sender_user_;
  std::unique_ptr<mail::MailTransport> run_transport_;  // during a mail run only
};

// The system's own error raised when an alert does not exist.
inline constexpr int32_t kAlertDoesNotExist = static_cast<int32_t>(0x800407E9u);

}  // namespace quorvan::general
