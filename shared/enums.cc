#include "shared/enums.h"

#define QUORVAN_ENUM_ENTRY(name, value) {#name, value},
#define QUORVAN_ENUM_INFO(published, list)  \
  EnumInfo {                                \
    published, { list(QUORVAN_ENUM_ENTRY) } \
  }

namespace quorvan::shared {

const std::vector<EnumInfo>& SharedEnumerations() {
  static const std::vector<EnumInfo> enums{
      QUORVAN_ENUM_INFO("EContractOrigin", QUORVAN_ECONTRACTORIGIN),
      QUORVAN_ENUM_INFO("EContractHeaderStatus", QUORVAN_ECONTRACTSTATUS),
      QUORVAN_ENUM_INFO("EContractLineStatus", QUORVAN_ECONTRACTSTATUS),
      QUORVAN_ENUM_INFO("EBreakupType", QUORVAN_EBREAKUPTYPE),
      QUORVAN_ENUM_INFO("EBreakupKind", QUORVAN_EBREAKUPKIND),
      QUORVAN_ENUM_INFO("EPriceDiscEligiblity", QUORVAN_EPRICEDISCELIGIBLITY),
      QUORVAN_ENUM_INFO("EFileStorage", QUORVAN_EFILESTORAGE),
      QUORVAN_ENUM_INFO("ECentralFileStorage", QUORVAN_ECENTRALFILESTORAGE),
      QUORVAN_ENUM_INFO("ENotificationType", QUORVAN_ENOTIFICATIONTYPE),
      QUORVAN_ENUM_INFO("EAlertStatus", QUORVAN_EALERTSTATUS),
      QUORVAN_ENUM_INFO("EUserRole", QUORVAN_EUSERROLE),
      QUORVAN_ENUM_INFO("EDocumentType", QUORVAN_EDOCUMENTTYPE),
      QUORVAN_ENUM_INFO("ERoutingDocumentType", QUORVAN_EROUTINGDOCUMENTTYPE),
      QUORVAN_ENUM_INFO("ERoutingEntryType", QUORVAN_EROUTINGENTRYTYPE),
      QUORVAN_ENUM_INFO("EactionType", QUORVAN_EACTIONTYPE),
      QUORVAN_ENUM_INFO("EContractResultType", QUORVAN_ECONTRACTRESULTTYPE),
      QUORVAN_ENUM_INFO("EPlannedAcquisitionCostBasis", QUORVAN_EPLANNEDACQUISITIONCOSTBASIS),
      QUORVAN_ENUM_INFO("EAlertType", QUORVAN_EALERTTYPE),
      QUORVAN_ENUM_INFO("EExchangeDocType", QUORVAN_EEXCHANGEDOCTYPE),
  };
  return enums;
}

const std::vector<EnumInfo>& GeneralEnumerations() {
  static const std::vector<EnumInfo> enums{
      QUORVAN_ENUM_INFO("EAllOrSpecific", QUORVAN_EALLORSPECIFIC),
      QUORVAN_ENUM_INFO("ETermsAndConditions", QUORVAN_ETERMSANDCONDITIONS),
  };
  return enums;
}

}  // namespace quorvan::shared
