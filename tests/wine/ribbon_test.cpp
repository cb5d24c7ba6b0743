// The add-in on Word's ribbon: the simulated Word asks Penvane.Connect for IRibbonExtensibility
// right after connecting, reads its customUI document with MSXML, checks it against the customUI
// rules it models, loads the buttons' pictures, and presses the buttons; each runs the same
// command as the menu button of the same caption, end to end with the real control.
#include "ribbon.h"

#include <commctrl.h>

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/penvane/window_names.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "control_in_word.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
namespace literals = text::literals;
using winetest::settingsFile;
using winetest::shown;
using winetest::tempFolder;

const wchar_t kProgId[] = L"Penvane.Connect";

std::wstring wide(std::u16string_view text) {
  return com::wide(text);
}

class RibbonInWord : public testing::Test {
 protected:
  static std::wstring signatureImage() { return tempFolder() + L"ribbon test signature.gif"; }

  static void SetUpTestSuite() {
    ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Penvane.dll")), 0);
    ASSERT_EQ(winetest::regsvr32(winetest::binPath(L"Sealbrook.ocx")), 0);
    ASSERT_TRUE(wordhost::installPictures());
    ASSERT_TRUE(CopyFileW(winetest::binPath(L"assets\\ck copy.gif").c_str(),
                          signatureImage().c_str(), FALSE));
  }
  static void TearDownTestSuite() {
    DeleteFileW(signatureImage().c_str());
    wordhost::removePictures();
    winetest::regsvr32(winetest::binPath(L"Sealbrook.ocx"), /*unregister=*/true);
    winetest::regsvr32(winetest::binPath(L"Penvane.dll"), /*unregister=*/true);
  }

  void SetUp() override {
    DeleteFileW(settingsFile().c_str());
    ASSERT_EQ(wordhost::AddinHost::listAddin(kProgId, 3), S_OK);
    baseline_ = running_.outstandingReferences();
  }
  void TearDown() override {
    if (host_.isLoaded(kProgId)) {
      EXPECT_EQ(host_.shutDown(), S_OK);
    }
    if (const HWND form = FindWindowW(penvane::win::kFormClass, nullptr))
      SendMessageW(form, WM_CLOSE, 0, 0);
    while (simword::Document* doc = word().activeDocument()) word().close(*doc);
    wordhost::AddinHost::unlistAddin(kProgId);
    DeleteFileW(settingsFile().c_str());
    EXPECT_EQ(running_.outstandingReferences(), baseline_);
  }

  simword::Word& word() { return running_.word(); }
  // Word starts; the add-in's path form asks for the signature image: picked, or cancelled.
  void startUp(const std::wstring& pick = {}) {
    if (pick.empty())
      dialogs_.cancelFile();
    else
      dialogs_.pickFile(pick);
    ASSERT_EQ(host_.startUp(), S_OK);
  }
  wordhost::Ribbon& ribbon() { return *host_.ribbon(kProgId); }
  std::vector<std::wstring> messages() const {
    std::vector<std::wstring> out;
    for (const auto& m : dialogs_.messages()) out.push_back(m.title + L" | " + m.text);
    return out;
  }

  // The ribbon is today's Word's.
  wordhost::RunningWord running_{simword::Profile::Word2016};
  wordhost::OleContainer container_{running_};
  wordhost::DialogDriver dialogs_;
  wordhost::AddinHost host_{running_.application()};
  int64_t baseline_ = 0;
};

TEST_F(RibbonInWord, TheGroupStandsOnTheInsertTabAfterWordsTextGroupWithItsCommandsAndTheStatus) {
  startUp();
  ASSERT_NE(host_.ribbon(kProgId), nullptr);
  EXPECT_TRUE(ribbon().customised());
  EXPECT_THAT(ribbon().problems(), testing::IsEmpty()) << ribbon().xml();
  ASSERT_EQ(ribbon().groups().size(), 1u);
  const wordhost::Ribbon::Group& group = ribbon().groups()[0];
  EXPECT_EQ(group.tab, L"TabInsert");
  EXPECT_EQ(group.insertAfterMso, L"GroupInsertText");
  EXPECT_EQ(group.label, wide(literals::kPopupCaption));
  std::vector<std::wstring> labels, actions;
  for (const auto& b : group.buttons) {
    labels.push_back(b.label);
    actions.push_back(b.onAction);
    EXPECT_EQ(b.size, L"large");
    EXPECT_EQ(b.picture.cx, 32) << b.id;
    EXPECT_EQ(b.picture.cy, 32) << b.id;
    EXPECT_EQ(b.screentip, b.id == L"PenvaneStatus" ? wide(literals::kPopupCaption) : b.label);
    EXPECT_FALSE(b.supertip.empty());
    EXPECT_FALSE(b.keytip.empty());
  }
  // No document open yet: the status cannot be told.
  EXPECT_THAT(labels,
              ElementsAre(wide(literals::kSetUpPathCaption), wide(literals::kInsertCaption),
                          wide(literals::kSignCaption), wide(literals::kInsertAndSignCaption),
                          wide(literals::kStatusUnknown), wide(literals::kVerifyCaption)));
  EXPECT_THAT(actions, ElementsAre(L"Ribbon_SetUpPath", L"Ribbon_Insert", L"Ribbon_Sign",
                                   L"Ribbon_InsertAndSign", L"Ribbon_Verify", L"Ribbon_Verify"));
  EXPECT_TRUE(ribbon().loaded());  // onLoad had the ribbon's IRibbonUI
  // The menu is there as well, for the Add-Ins tab.
  EXPECT_EQ(word().menuBar().find(literals::kPopupCaption)->controls.size(), 4u);
}

TEST_F(RibbonInWord, OnlyAWordDocumentsRibbonIsCustomised) {
  startUp();
  com::ComPtr<IRibbonExtensibility> extensibility;
  ASSERT_EQ(
      host_.addin(kProgId)->QueryInterface(__uuidof(IRibbonExtensibility), extensibility.putVoid()),
      S_OK);
  com::Bstr xml;
  EXPECT_EQ(extensibility->GetCustomUI(com::Bstr(u"Microsoft.Outlook.Mail.Read").get(), xml.put()),
            S_OK);
  EXPECT_EQ(SysStringLen(xml.get()), 0u);
  EXPECT_EQ(extensibility->GetCustomUI(nullptr, xml.put()), S_OK);
  EXPECT_EQ(SysStringLen(xml.get()), 0u);
  EXPECT_EQ(extensibility->GetCustomUI(com::Bstr(u"Microsoft.Word.Document").get(), nullptr),
            E_POINTER);
}

TEST_F(RibbonInWord, InsertAndSignFromTheRibbonInsertsTheRealControlAndSigns) {
  startUp(signatureImage());
  auto& doc = word().open(u"Report");
  ASSERT_EQ(ribbon().press(L"PenvaneInsertAndSign"), S_OK);
  ASSERT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.inlineShapes[0].classType, u"Sealbrook.SignData");
  EXPECT_NE(wordhost::OleContainer::embedded(doc, 0).window(), nullptr);
  ASSERT_EQ(doc.signatures.size(), 1u);
  EXPECT_TRUE(doc.signatures[0].committed);
  EXPECT_TRUE(dialogs_.messages().empty());

  // Insert alone, then Sign alone, on a second document.
  auto& other = word().open(u"Other");
  ASSERT_EQ(ribbon().press(L"PenvaneInsert"), S_OK);
  EXPECT_EQ(other.inlineShapes.size(), 1u);
  EXPECT_TRUE(other.signatures.empty());
  ASSERT_EQ(ribbon().press(L"PenvaneSign"), S_OK);
  EXPECT_EQ(other.signatures.size(), 1u);
}

TEST_F(RibbonInWord, FailuresFromTheRibbonGetTheMenusMessages) {
  startUp();  // cancelled: the path is "No", a name of no file
  word().open();
  ASSERT_EQ(ribbon().press(L"PenvaneInsertAndSign"), S_OK);
  word().signing().willFail(E_ACCESSDENIED, u"no certificate");
  ASSERT_EQ(ribbon().press(L"PenvaneSign"), S_OK);
  word().signing().willCancel();
  ASSERT_EQ(ribbon().press(L"PenvaneSign"), S_OK);  // a refusal is passed over
  EXPECT_THAT(messages(),
              ElementsAre(shown(literals::kNotice) + L" | " + shown(literals::kFileNotFound),
                          shown(literals::kNotice) + L" | " + shown(literals::kSigningFailed)));
}

TEST_F(RibbonInWord, SetUpPathFromTheRibbonSavesThePathAsTheMenuDoes) {
  startUp(signatureImage());
  ASSERT_EQ(ribbon().press(L"PenvaneSetUpPath"), S_OK);  // no dialog the first time
  EXPECT_EQ(dialogs_.fileDialogs().size(), 1u);
  std::ifstream in(settingsFile().c_str(), std::ios::binary);
  const std::string settings((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  const std::wstring image = signatureImage();  // ASCII
  EXPECT_THAT(settings, testing::HasSubstr("ChildPath=" + std::string(image.begin(), image.end())));
}

// --- The status on the ribbon, and verify ------------------------------------------------------

// The status control's label as the ribbon shows it now.
class RibbonStatus : public RibbonInWord, public testing::WithParamInterface<bool> {
 protected:
  std::wstring status() {
    wordhost::runQueued();  // what the add-in posted after its commands
    ribbon().refresh();
    const wordhost::Ribbon::Button* control = ribbon().find(L"PenvaneStatus");
    return control ? control->label : L"";
  }
  // The status's look every 5 s while Word is idle: its WM_TIMER.
  static void statusTick() {
    const auto timers =
        wordhost::windowsOfThisProcess(HWND_MESSAGE, penvane::win::kStatusTimerClass);
    ASSERT_EQ(timers.size(), 1u);
    SendMessageW(timers[0], WM_TIMER, 1, 0);
  }
  static HWND signaturesWindow() {
    const auto windows =
        wordhost::windowsOfThisProcess(nullptr, penvane::win::kSignatureWindowClass);
    return windows.empty() ? nullptr : windows[0];
  }
  // The rows of the signatures' window, each cell between " | ".
  static std::vector<std::wstring> rows(HWND window) {
    std::vector<std::wstring> out;
    const HWND view = GetDlgItem(window, 301);
    const auto count = SendMessageW(view, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT r = 0; r < count; ++r) {
      std::wstring row;
      for (int column = 0; column < 6; ++column) {
        wchar_t cell[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = cell;
        item.cchTextMax = 256;
        SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(r),
                     reinterpret_cast<LPARAM>(&item));
        row += (column ? L" | " : L"") + std::wstring(cell);
      }
      out.push_back(row);
    }
    return out;
  }
};

// The status follows the active document whether or not ActiveX controls are on (with them off
// the signature picture stands in for the block), and agrees with the block; the control is
// invalidated only when the status changed; verify lists the signatures in one window.
TEST_P(RibbonStatus, TheStatusFollowsTheActiveDocumentAndVerifyListsItsSignatures) {
  const bool activeX = GetParam();
  word().setActiveXControls(activeX);
  startUp(signatureImage());
  auto& doc = word().open(u"Contract");
  const HWND window = container_.documentWindow(doc);  // Word shows it
  EXPECT_EQ(status(), wide(literals::kStatusNotSigned));
  const size_t invalidated = ribbon().invalidations().size();
  statusTick();
  EXPECT_EQ(ribbon().invalidations().size(), invalidated);  // nothing changed

  ASSERT_EQ(ribbon().press(L"PenvaneInsertAndSign"), S_OK);
  EXPECT_EQ(status(), wide(literals::kStatusValid));
  EXPECT_EQ(doc.inlineShapes.size(), 1u);
  EXPECT_EQ(doc.inlineShapes[0].pictureFile.empty(), activeX);
  if (activeX) {
    wordhost::fireTimers(1);
    EXPECT_TRUE(
        winetest::Rendering(wordhost::OleContainer::embedded(doc, 0).object(), false).showsValid());
  }
  doc.edit(u"changed after signing");
  statusTick();
  EXPECT_EQ(status(), wide(literals::kStatusInvalid));
  if (activeX) {
    wordhost::fireTimers(1);
    EXPECT_TRUE(winetest::Rendering(wordhost::OleContainer::embedded(doc, 0).object(), false)
                    .showsInvalid());
  }
  auto& other = word().open(u"Draft");
  EXPECT_EQ(status(), wide(literals::kStatusNotSigned));
  word().activate(doc);  // back in the contract's window
  EXPECT_EQ(status(), wide(literals::kStatusInvalid));
  EXPECT_THAT(ribbon().invalidations(), testing::Each(std::wstring(L"PenvaneStatus")));
  EXPECT_EQ(ribbon().invalidations().size(), invalidated + 4);

  ASSERT_EQ(ribbon().press(L"PenvaneVerify"), S_OK);
  const HWND list = signaturesWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetWindow(list, GW_OWNER), window);
  EXPECT_THAT(rows(list), ElementsAre(L"1 | Nguy\u1EC5n V\u0103n An | Vietnam Test CA | "
                                      L"12/31/2028 | 12/8/2026 12:00:00 PM | Kh\u00F4ng"));
  SendMessageW(GetDlgItem(list, 302), BM_CLICK, 0, 0);  // copy
  ASSERT_TRUE(OpenClipboard(nullptr));
  const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(std::wstring(copied),
            L"STT\tNg\u01B0\u1EDDi k\u00FD\tC\u1EA5p t\u1EA1i\tNg\u00E0y h\u1EBFt h\u1EA1n\t"
            L"Ng\u00E0y k\u00FD\tH\u1EE3p l\u1EC7\r\n1\tNguy\u1EC5n V\u0103n An\tVietnam Test CA\t"
            L"12/31/2028\t12/8/2026 12:00:00 PM\tKh\u00F4ng\r\n");
  GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
  CloseClipboard();
  SendMessageW(GetDlgItem(list, 301), WM_KEYDOWN, VK_ESCAPE, 0);  // Esc closes it
  wordhost::runQueued();
  EXPECT_EQ(signaturesWindow(), nullptr);
  EXPECT_TRUE(dialogs_.messages().size() <= 1u);  // ActiveX off: told once of the picture
  container_.close(other);
}

INSTANTIATE_TEST_SUITE_P(ActiveX, RibbonStatus, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "ActiveXOn" : "ActiveXOff";
                         });

TEST_F(RibbonInWord, AWordWithoutARibbonGetsTheMenuAlone) {
  host_.hasRibbon(false);
  startUp();
  EXPECT_EQ(host_.ribbon(kProgId), nullptr);
  const auto popup = word().menuBar().find(literals::kPopupCaption);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->controls.size(), 4u);
  auto& doc = word().open();
  EXPECT_EQ(word().click(popup->controls[3]).delivered, 1u);  // insert and sign
  EXPECT_TRUE(doc.inlineShapes.empty());                      // "No" names no file
  EXPECT_EQ(dialogs_.messages().size(), 1u);
}

}  // namespace
