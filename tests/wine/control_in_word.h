// What the suites of Sealbrook.ocx share: the library's path, what the control draws, and a
// simulated Word, running through real COM, into whose documents the control is inserted as the
// add-in inserts it.
#pragma once

#include <ole2.h>

#include <string>

#include <gtest/gtest.h>

#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/running_word.h"

#include "simword/word.h"

namespace winetest {

std::wstring ocx();  // Sealbrook.ocx beside the test

// Inserts the control into the active document of a Word, as the add-in does.
wordhost::EmbeddedObject& insertBlock(simword::Word& word);

// What the control draws through IViewObject into a 240 x 136 pixel block, on a screen-
// compatible bitmap or through an enhanced metafile (the host's cached presentation).
class Rendering {
 public:
  Rendering(IOleObject* object, bool metafile);
  // A presentation the host keeps, played into the block.
  explicit Rendering(HENHMETAFILE presentation);
  ~Rendering();
  Rendering(const Rendering&) = delete;
  Rendering& operator=(const Rendering&) = delete;

  COLORREF at(int x, int y) const { return GetPixel(memory_, x, y); }
  // Probes: the signature's grey line, and the status frame's right edge.
  bool showsSignature() const { return at(50, 50) == RGB(160, 160, 160); }
  bool showsValid() const { return at(228, 100) == RGB(0, 128, 0); }
  bool showsInvalid() const { return at(228, 100) == RGB(176, 0, 0); }
  bool isEmptyBlock() const;

 private:
  HDC memory_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Sealbrook.ocx registered for the suite, the pictures installed for each test, and a running
// simulated Word (Word 2003 unless said) with its OLE container and dialog driver. Each test ends
// with every document closed and the host's references back where they were.
class ControlInWord : public testing::Test {
 protected:
  explicit ControlInWord(simword::Profile profile = simword::Profile::Word2003)
      : running_(profile) {}
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  simword::Word& word() { return running_.word(); }
  // Inserts the control into the active document, as the add-in does.
  wordhost::EmbeddedObject& insert();
  static HWND picture1(const wordhost::EmbeddedObject& control);
  static void click(HWND window, int x, int y);
  // The user clicks the signature picture and chooses "Ký" (sign) or "Thẩm định" (verify).
  void sign(wordhost::EmbeddedObject& control);
  void verify(wordhost::EmbeddedObject& control);
  // Word signs its active document, as the add-in's sign command has it do.
  void signByHost();
  // Timer1 of every control ticks.
  static void tick();
  size_t countLines(const std::string& line);
  // How often the host was asked whether its document is in design mode, as this Word shows it:
  // the bar "Exit Design Mode" (Word 2003) or the ribbon (today's Word).
  size_t designModeReads();

  wordhost::RunningWord running_;
  wordhost::OleContainer container_{running_};
  wordhost::DialogDriver dialogs_;
  int64_t baseline_ = 0;
};

// The same tests in each Word that the simulation speaks for.
class ControlInEachWord : public ControlInWord,
                          public testing::WithParamInterface<simword::Profile> {
 protected:
  ControlInEachWord() : ControlInWord(GetParam()) {}
};

}  // namespace winetest
