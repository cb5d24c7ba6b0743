#include "control_in_word.h"

#include <algorithm>

#include "win32/com/com_ptr.h"
#include "wordhost/pictures.h"
#include "wordhost/timers.h"

#include "automation/object.h"
#include "wine_test.h"

namespace winetest {

std::wstring ocx() {
  return binPath(L"Sealbrook.ocx");
}

Rendering::Rendering(IOleObject* object, bool metafile) {
  const HDC screen = GetDC(nullptr);
  memory_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, 240, 136);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(memory_, bitmap_);
  RECT all{0, 0, 240, 136};
  FillRect(memory_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  com::ComPtr<IViewObject2> view;
  EXPECT_EQ(object->QueryInterface(IID_IViewObject2, view.putVoid()), S_OK);
  const RECTL bounds{0, 0, 240, 136};
  if (metafile) {
    const HDC record = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, record, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    const HENHMETAFILE recorded = CloseEnhMetaFile(record);
    PlayEnhMetaFile(memory_, recorded, &all);
    DeleteEnhMetaFile(recorded);
  } else {
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory_, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
  }
}

Rendering::Rendering(HENHMETAFILE presentation) {
  const HDC screen = GetDC(nullptr);
  memory_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, 240, 136);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(memory_, bitmap_);
  const RECT all{0, 0, 240, 136};
  FillRect(memory_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_TRUE(PlayEnhMetaFile(memory_, presentation, &all));
}

Rendering::~Rendering() {
  SelectObject(memory_, old_);
  DeleteObject(bitmap_);
  DeleteDC(memory_);
}

bool Rendering::isEmptyBlock() const {
  return at(50, 50) == GetSysColor(COLOR_WINDOW) && at(228, 100) == GetSysColor(COLOR_WINDOW) &&
         at(239, 135) == GetSysColor(COLOR_BTNFACE);
}

void ControlInWord::SetUpTestSuite() {
  ASSERT_EQ(regsvr32(ocx()), 0);
}

void ControlInWord::TearDownTestSuite() {
  regsvr32(ocx(), /*unregister=*/true);
  wordhost::removePictures();
}

void ControlInWord::SetUp() {
  ASSERT_TRUE(wordhost::installPictures());
  baseline_ = running_.outstandingReferences();
}

void ControlInWord::TearDown() {
  while (word().activeDocument()) word().close(*word().activeDocument());
  EXPECT_EQ(running_.outstandingReferences(), baseline_);
}

wordhost::EmbeddedObject& insertBlock(simword::Word& word) {
  auto app = word.application();
  automation::call(automation::getObject(automation::getObject(app, "Selection"), "InlineShapes"),
                   "AddOLEControl", {automation::named("ClassType", u"Sealbrook.SignData")});
  auto& doc = *word.activeDocument();
  return wordhost::OleContainer::embedded(doc, doc.inlineShapes.size() - 1);
}

wordhost::EmbeddedObject& ControlInWord::insert() {
  return insertBlock(word());
}

HWND ControlInWord::picture1(const wordhost::EmbeddedObject& control) {
  return GetWindow(control.window(), GW_CHILD);
}

void ControlInWord::click(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ControlInWord::sign(wordhost::EmbeddedObject& control) {
  dialogs_.chooseMenuItem(0);
  click(picture1(control), 5, 5);
}

void ControlInWord::verify(wordhost::EmbeddedObject& control) {
  dialogs_.chooseMenuItem(1);
  click(picture1(control), 5, 5);
}

void ControlInWord::signByHost() {
  const auto signatures = automation::getObject(
      automation::getObject(word().application(), "ActiveDocument"), "Signatures");
  automation::call(signatures, "Add");
  automation::call(signatures, "Commit");
}

void ControlInWord::tick() {
  wordhost::fireTimers(1);
}

size_t ControlInWord::countLines(const std::string& line) {
  const auto lines = word().log().lines();
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

size_t ControlInWord::designModeReads() {
  return countLines(word().profile() == simword::Profile::Word2003
                        ? "Application.CommandBars(\"Exit Design Mode\")"
                        : "CommandBars.GetPressedMso(\"DesignMode\")");
}

}  // namespace winetest
