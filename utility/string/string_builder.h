// "QuorvanUtility.String": collects text in pieces and hands out their concatenation.
// Pieces go into slots that grow by a fixed step of 50 (51 slots at first, then 101, 151...),
// so Add copies one piece and only now and then the slot table; Value joins on demand.
//
// Invariants: piece count <= slot count; slots [0, count) hold the pieces in order, every
// other slot the empty text. State: the pieces, kept until Reset or release. One thread at a
// time.
#pragma once

#include <string>
#include <vector>

#include "platform/automation/object.h"

namespace quorvan::utility {

class StringBuilder : public Object {
 public:
  StringBuilder();
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }
  std::string ClassName() const override { return "String"; }

  std::string Value() const;
  void Add(const std::string& i_sValue);
  void Reset();

  int32_t piece_count() const { return piece_count_; }
  size_t slot_count() const { return slots_.size(); }

 private:
  static constexpr int32_t kGrowthStep = 50;
  void ClassInitialize();

  int32_t piece_count_ = 0;
  int32_t growth_step_ = kGrowthStep;
  std::vector<std::string> slots_;
};

}  // namespace quorvan::utility
