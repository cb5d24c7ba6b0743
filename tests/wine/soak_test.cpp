// Sealbrook.ocx over a long session in the simulated Word: thousands of status refreshes and
// hundreds of sign-and-verify cycles leave the process's GDI and USER objects, its kernel handles
// and Word's outstanding references where they were once the caches were warm. The counts are
// compared exactly, so one object kept by a refresh or a cycle shows at once; the length is there
// for what only a long session meets: the status changing across several thousand ticks, Word's
// log emptied along the way, the same document signed again and again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "wordhost/dialogs.h"
#include "wordhost/resources.h"

#include "control_in_word.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using winetest::Rendering;

struct Resources {
  long gdi = 0;
  long user = 0;
  long handles = 0;
  int64_t references = 0;
};

class Soak : public winetest::ControlInWord {
 protected:
  Resources resources() {
    Resources r;
    r.gdi = wordhost::gdiObjects();
    r.user = wordhost::userObjects();
    r.handles = wordhost::kernelHandles();
    r.references = running_.outstandingReferences();
    return r;
  }
  void expectAsBefore(const Resources& before) {
    const Resources after = resources();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.references, before.references);
  }
};

TEST_F(Soak, ThreeThousandRefreshesChangingTheStatusEveryOtherTickLeaveNothingBehind) {
  auto& doc = word().open();
  auto& control = insert();
  signByHost();
  // Ticks in pairs: the first signature's validity flips before the first of each pair, the
  // second finds the status unchanged.
  int ticks = 0;
  auto refresh = [&](int n) {
    for (int i = 0; i < n; ++i, ++ticks) {
      if (ticks % 2 == 0) doc.signatures[0].markedInvalid = !doc.signatures[0].markedInvalid;
      tick();
      if (ticks % 1000 == 999) word().log().clear();
    }
  };
  refresh(200);  // warm-up: what Wine's COM and GDI make once, on first use, is made by now
  const Resources before = resources();
  ASSERT_GT(before.handles, 0);
  for (int round = 0; round < 4; ++round) {
    refresh(699);  // an odd count, so that the rounds end on both statuses
    const Rendering shown(control.object(), false);
    EXPECT_EQ(shown.showsInvalid(), doc.signatures[0].markedInvalid) << "tick " << ticks;
    EXPECT_EQ(shown.showsValid(), !doc.signatures[0].markedInvalid) << "tick " << ticks;
  }
  refresh(3000 - 4 * 699);
  expectAsBefore(before);
}

TEST_F(Soak, ThreeHundredSignAndVerifyCyclesLeaveNothingBehind) {
  auto& doc = word().open();
  auto& control = insert();
  auto cycle = [&] {
    doc.signatures.clear();
    sign(control);
    verify(control);
  };
  for (int i = 0; i < 5; ++i) cycle();  // warm-up
  const Resources before = resources();
  dialogs_.clear();
  for (int i = 0; i < 300; ++i) {
    cycle();
    if (i % 100 == 99) word().log().clear();
  }
  expectAsBefore(before);
  // Each cycle signed the document and showed its one signature as valid.
  const std::wstring valid = winetest::shown(text::literals::kValidTitle);
  ASSERT_EQ(dialogs_.messages().size(), 300u);
  for (const auto& box : dialogs_.messages()) {
    ASSERT_EQ(box.title, valid);
    ASSERT_EQ(box.icon, wordhost::Icon::Information);
  }
  EXPECT_TRUE(Rendering(control.object(), false).showsValid());
}

}  // namespace
