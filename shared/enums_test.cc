#include "shared/enums.h"

#include <gtest/gtest.h>

namespace quorvan::shared {
namespace {

int32_t ValueOf(const std::vector<EnumInfo>& enums, const std::string& name,
                const std::string& member) {
  for (const auto& info : enums) {
    if (info.name != name) continue;
    for (const auto& [member_name, value] : info.members) {
      if (member_name == member) return value;
    }
  }
  ADD_FAILURE() << name << "." << member << " not published";
  return -999;
}

TEST(EnumsTest, PublishedTablesMatchTheVocabulary) {
  const auto& shared = SharedEnumerations();
  EXPECT_EQ(shared.size(), 19u);
  EXPECT_EQ(GeneralEnumerations().size(), 2u);
  struct Case {
    const char* enumeration;
    const char* member;
    int32_t value;
  };
  const Case cases[] = {
      {"ENotificationType", "MAILANDWEBALERT", 3},
      {"EContractHeaderStatus", "Terminated", 30},
      {"EContractLineStatus", "UnderApproval", 10},
      {"EDocumentType", "None", 0},
      {"EDocumentType", "Contract", 6},
      {"ERoutingDocumentType", "Contract", 2},
      {"ECentralFileStorage", "FileTransferProtocol", 3},
      {"EAlertType", "AuditCancelled", 28},
      {"EExchangeDocType", "CONTRACT_OUT", 12},
      {"EPlannedAcquisitionCostBasis", "PRICE", 2},
      {"EactionType", "UpdateOrigin", 3},
      {"EPriceDiscEligiblity", "NonCumulative", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(ValueOf(shared, c.enumeration, c.member), c.value);
  EXPECT_EQ(ValueOf(GeneralEnumerations(), "ETermsAndConditions", "PenaltyTerm"), 7);
  for (const auto& info : shared) {
    if (info.name != "EAlertType") continue;
    ASSERT_EQ(info.members.size(), 28u);
    for (size_t i = 0; i < info.members.size(); ++i)
      EXPECT_EQ(info.members[i].second, static_cast<int32_t>(i + 1));
  }
  static_assert(static_cast<int32_t>(ENotificationType::MAILANDWEBALERT) ==
                static_cast<int32_t>(ENotificationType::WEBALERT) +
                    static_cast<int32_t>(ENotificationType::MailAlert));
}

}  // namespace
}  // namespace quorvan::shared
