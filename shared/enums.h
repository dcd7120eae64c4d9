// The shared enumerations every module publishes, and the two more of the general module.
// Each list below is the single source of both the C++ enumeration and the published table,
// so names and values cannot drift apart. Values are 32-bit signed integers; methods accept
// any integer where an enumeration is declared.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/automation/class_info.h"

// X(member, value) lists, in published order.
#define QUORVAN_EALLORSPECIFIC(X) X(All, 1) X(Specific, 2)
#define QUORVAN_ETERMSANDCONDITIONS(X) \
  X(PaymentTerm, 1)                    \
  X(PaymentMethod, 2)                  \
  X(DeliveryTerm, 3) X(DeliveryMethod, 4) X(PackagingTerm, 5) X(WarrantyTerm, 6) X(PenaltyTerm, 7)
#define QUORVAN_ECONTRACTORIGIN(X) X(Manual, 1) X(Quotation, 2) X(Bid, 3)
#define QUORVAN_ECONTRACTSTATUS(X) \
  X(UnderDraft, 5)                 \
  X(UnderApproval, 10) X(Rejected, 15) X(Approved, 20) X(Active, 25) X(Terminated, 30)
#define QUORVAN_EBREAKUPTYPE(X) X(Minimum, 1) X(UPTO, 2)
#define QUORVAN_EBREAKUPKIND(X) X(PRICE, 1) X(DISCOUNT, 2)
#define QUORVAN_EPRICEDISCELIGIBLITY(X) X(Cumulative, 1) X(NonCumulative, 2)
#define QUORVAN_EFILESTORAGE(X) X(Application, 0) X(UserData, 1)
#define QUORVAN_ECENTRALFILESTORAGE(X) \
  X(None, 0) X(LocalFileSystem, 1) X(NetworkFileSystem, 2) X(FileTransferProtocol, 3)
#define QUORVAN_ENOTIFICATIONTYPE(X) X(WEBALERT, 1) X(MailAlert, 2) X(MAILANDWEBALERT, 3)
#define QUORVAN_EALERTSTATUS(X) X(NotApplicable, 1) X(TOBEVIEWED, 2) X(Viewed, 3)
#define QUORVAN_EUSERROLE(X) X(Administrator, 1) X(BUYER, 2) X(SUPPLIER, 3)
#define QUORVAN_EDOCUMENTTYPE(X) \
  X(None, 0)                     \
  X(RFQ, 1)                      \
  X(Quotation, 2)                \
  X(CounterOffer, 3) X(RFD, 4) X(RFI, 5) X(Contract, 6) X(Audit, 7) X(RFIResponse, 8) X(QandA, 9)
#define QUORVAN_EROUTINGDOCUMENTTYPE(X) X(RFQ, 1) X(Contract, 2) X(CounterOffer, 3)
#define QUORVAN_EROUTINGENTRYTYPE(X) \
  X(Drafting, 1)                     \
  X(Approval, 2)                     \
  X(QuoteUnlocking, 3)               \
  X(CommercialNegotiation, 4)        \
  X(ContractApproval, 5)             \
  X(DocumentCreation, 6) X(EverythingApplicable, 7) X(DocumentRecall, 8) X(DocumentClose, 9)
#define QUORVAN_EACTIONTYPE(X) X(Fetch, 1) X(Publish, 2) X(UpdateOrigin, 3)
#define QUORVAN_ECONTRACTRESULTTYPE(X) X(ERP, 1) X(Procurement, 2)
#define QUORVAN_EPLANNEDACQUISITIONCOSTBASIS(X) X(LandedCost, 1) X(PRICE, 2)
#define QUORVAN_EALERTTYPE(X)                                                                   \
  X(RFQForDrafting, 1)                                                                          \
  X(RFQToBeApproved, 2)                                                                         \
  X(RFQRejected, 3)                                                                             \
  X(SentRFQ, 4)                                                                                 \
  X(RFQReminder, 5)                                                                             \
  X(RFQUnseal, 6)                                                                               \
  X(CounterOffer, 7)                                                                            \
  X(ContractToBeApproved, 8)                                                                    \
  X(QuotationReceived, 9) X(ContractApproved, 10) X(ContractLineExpires, 11)                    \
      X(ContractQuantityExceeds, 12) X(ContractAmountExceeds, 13)                               \
          X(ContractQuantityExceedsMultiples, 14) X(ContractAmountExceedsMultiples, 15)         \
              X(RFQApproved, 16) X(CounterOfferForDrafting, 17) X(ContractRejected, 18)         \
                  X(RFIForDrafting, 19) X(SentRFI, 20) X(RFIResponseReceived, 21)               \
                      X(AuditReceived, 22) X(AuditResponseReceived, 23) X(AuditForDrafting, 24) \
                          X(AuditExpired, 25) X(MessageReceived, 26) X(MessageDelegated, 27)    \
                              X(AuditCancelled, 28)
#define QUORVAN_EEXCHANGEDOCTYPE(X) \
  X(RFQ_OUT, 1)                     \
  X(RFQ_XL_OUT, 2)                  \
  X(QUOTATION_COUNTEROFFER_OUT, 3)  \
  X(QUOTATION_RESULT_OUT, 4)        \
  X(QUOTATION_PURCHASEORDER_OUT, 5) \
  X(COMPARISONCHART_XL_OUT, 6)      \
  X(ITEM_OUT, 7)                    \
  X(TERMSANDCONDITIONS_OUT, 8)      \
  X(DEMAND_OUT, 9) X(REPORT_OUT, 10) X(RFQQUOTATIONLISTING_XL_OUT, 11) X(CONTRACT_OUT, 12)

#define QUORVAN_ENUM_MEMBER(name, value) name = value,

namespace quorvan::shared {

enum class EAllOrSpecific : int32_t { QUORVAN_EALLORSPECIFIC(QUORVAN_ENUM_MEMBER) };
enum class ETermsAndConditions : int32_t { QUORVAN_ETERMSANDCONDITIONS(QUORVAN_ENUM_MEMBER) };
enum class EContractOrigin : int32_t { QUORVAN_ECONTRACTORIGIN(QUORVAN_ENUM_MEMBER) };
enum class EContractHeaderStatus : int32_t { QUORVAN_ECONTRACTSTATUS(QUORVAN_ENUM_MEMBER) };
enum class EContractLineStatus : int32_t { QUORVAN_ECONTRACTSTATUS(QUORVAN_ENUM_MEMBER) };
enum class EBreakupType : int32_t { QUORVAN_EBREAKUPTYPE(QUORVAN_ENUM_MEMBER) };
enum class EBreakupKind : int32_t { QUORVAN_EBREAKUPKIND(QUORVAN_ENUM_MEMBER) };
enum class EPriceDiscEligiblity : int32_t { QUORVAN_EPRICEDISCELIGIBLITY(QUORVAN_ENUM_MEMBER) };
enum class EFileStorage : int32_t { QUORVAN_EFILESTORAGE(QUORVAN_ENUM_MEMBER) };
enum class ECentralFileStorage : int32_t { QUORVAN_ECENTRALFILESTORAGE(QUORVAN_ENUM_MEMBER) };
enum class ENotificationType : int32_t { QUORVAN_ENOTIFICATIONTYPE(QUORVAN_ENUM_MEMBER) };
enum class EAlertStatus : int32_t { QUORVAN_EALERTSTATUS(QUORVAN_ENUM_MEMBER) };
enum class EUserRole : int32_t { QUORVAN_EUSERROLE(QUORVAN_ENUM_MEMBER) };
enum class EDocumentType : int32_t { QUORVAN_EDOCUMENTTYPE(QUORVAN_ENUM_MEMBER) };
enum class ERoutingDocumentType : int32_t { QUORVAN_EROUTINGDOCUMENTTYPE(QUORVAN_ENUM_MEMBER) };
enum class ERoutingEntryType : int32_t { QUORVAN_EROUTINGENTRYTYPE(QUORVAN_ENUM_MEMBER) };
enum class EactionType : int32_t { QUORVAN_EACTIONTYPE(QUORVAN_ENUM_MEMBER) };
enum class EContractResultType : int32_t { QUORVAN_ECONTRACTRESULTTYPE(QUORVAN_ENUM_MEMBER) };
enum class EPlannedAcquisitionCostBasis : int32_t {
  QUORVAN_EPLANNEDACQUISITIONCOSTBASIS(QUORVAN_ENUM_MEMBER)
};
enum class EAlertType : int32_t { QUORVAN_EALERTTYPE(QUORVAN_ENUM_MEMBER) };
enum class EExchangeDocType : int32_t { QUORVAN_EEXCHANGEDOCTYPE(QUORVAN_ENUM_MEMBER) };

// The nineteen enumerations every module publishes through its class Lib_Enum.
const std::vector<EnumInfo>& SharedEnumerations();
// The two more that the general module publishes through its class Enums.
const std::vector<EnumInfo>& GeneralEnumerations();

}  // namespace quorvan::shared
