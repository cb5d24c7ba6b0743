// What the bridges decide without the platform: the dispatch ids the server side gives names,
// and where a call's arguments stand in IDispatch's argument array, going out and coming in.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/dispatch_ids.h"
#include "automation/dispatch_order.h"
#include "base/error.h"
#include "tests/common/failure.h"

namespace automation {
namespace {

using testing::ElementsAre;

template <class F>
HResult failureOf(F&& f) {
  return testing_support::failureOf(std::forward<F>(f)).hresult();
}

TEST(DispatchIds, EverySpellingOfANameHasOneIdAndTheNameComesBackAsFirstGiven) {
  DispatchIds ids;
  const int32_t caption = ids.idOf(u"Caption");
  EXPECT_EQ(caption, DispatchIds::kFirst);
  EXPECT_EQ(ids.idOf(u"CAPTION"), caption);
  EXPECT_EQ(ids.idOf(u"caption"), caption);
  const int32_t tag = ids.idOf(u"Tag");
  EXPECT_EQ(tag, caption + 1);
  EXPECT_EQ(ids.nameOf(caption), "Caption");
  EXPECT_EQ(ids.nameOf(tag), "Tag");
  EXPECT_EQ(ids.idOf(u""), DispatchIds::kDefaultMember);
  EXPECT_EQ(ids.nameOf(DispatchIds::kDefaultMember), "");
}

TEST(DispatchIds, NamesBeyondAsciiAndIdsNeverGivenAreRefused) {
  DispatchIds ids;
  EXPECT_EQ(failureOf([&] { ids.idOf(u"Ch\u1EEF"); }), hr::kUnknownName);
  EXPECT_EQ(ids.idOf(u"Item"), DispatchIds::kFirst);  // the refused name took no id
  for (const int32_t id : {DispatchIds::kFirst + 1, DispatchIds::kFirst - 1, 1, -1, -3})
    EXPECT_EQ(failureOf([&] { ids.nameOf(id); }), hr::kMemberNotFound) << id;
}

// A slot as one word: the argument it holds and how.
std::vector<std::string> placed(const std::vector<Slot>& slots) {
  std::vector<std::string> out;
  for (const Slot& s : slots) {
    const char* as = s.as == Placed::Named ? "named " : s.as == Placed::PutValue ? "put " : "";
    out.push_back(std::string(as) + std::to_string(s.argument) + "@" + std::to_string(s.slot));
  }
  return out;
}

TEST(DispatchOrder, OutgoingNamedArgumentsComeFirstWithAPutsValueLeadingThenPositionalInReverse) {
  const Arguments call = {1, 2, named("Before", 3), named("After", 4)};
  EXPECT_THAT(placed(outgoingSlots(call, false)),
              ElementsAre("named 2@0", "named 3@1", "1@2", "0@3"));
  // A put: its value (the last argument) leads the named ones.
  const Arguments put = {1, named("Index", 2), u"value"};
  EXPECT_THAT(placed(outgoingSlots(put, true)), ElementsAre("put 2@0", "named 1@1", "0@2"));
  EXPECT_THAT(placed(outgoingSlots({u"value"}, true)), ElementsAre("put 0@0"));
  EXPECT_TRUE(outgoingSlots({}, true).empty());
}

TEST(DispatchOrder, IncomingPositionalArgumentsComeInDeclarationOrderThenNamedThenAPutsValue) {
  EXPECT_THAT(placed(incomingSlots(4, {1001, 1002})),
              ElementsAre("0@3", "1@2", "named 2@0", "named 3@1"));
  EXPECT_THAT(placed(incomingSlots(3, {1001, kPropertyPutId})),
              ElementsAre("0@2", "named 1@0", "put 2@1"));
  // Of two slots marked as a put's value, the last is taken.
  EXPECT_THAT(placed(incomingSlots(3, {kPropertyPutId, kPropertyPutId})),
              ElementsAre("0@2", "put 1@1"));
  // More named ids than slots: only the slots there are.
  EXPECT_THAT(placed(incomingSlots(1, {1001, 1002})), ElementsAre("named 0@0"));
}

// A call made through the array and received from it has its arguments back in the same order.
TEST(DispatchOrder, WhatGoesOutComesInAsItWasGiven) {
  const std::vector<std::pair<Arguments, bool>> calls = {
      {{}, false},
      {{1, 2, 3}, false},
      {{named("A", 1)}, false},
      {{1, named("A", 2), named("B", 3)}, false},
      {{1, 2, named("A", 3), u"value"}, true},
      {{named("A", 1), u"value"}, true},
  };
  for (const auto& [args, put] : calls) {
    const std::vector<Slot> out = outgoingSlots(args, put);
    std::vector<int32_t> namedIds;
    for (const Slot& s : out) {
      if (s.as == Placed::PutValue) namedIds.push_back(kPropertyPutId);
      if (s.as == Placed::Named) namedIds.push_back(2000 + static_cast<int32_t>(s.argument));
    }
    const std::vector<Slot> in = incomingSlots(out.size(), namedIds);
    ASSERT_EQ(in.size(), args.size());
    for (const Slot& received : in) {
      const auto sent = std::find_if(out.begin(), out.end(),
                                     [&](const Slot& s) { return s.slot == received.slot; });
      ASSERT_NE(sent, out.end());
      EXPECT_EQ(sent->argument, received.argument);
      EXPECT_EQ(sent->as, received.as);
    }
  }
}

}  // namespace
}  // namespace automation
