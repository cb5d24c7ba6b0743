// The add-in on Word's ribbon: the simulated Word asks Penvane.Connect for IRibbonExtensibility
// right after connecting, reads its customUI document with MSXML, checks it against the customUI
// rules it models, loads the buttons' pictures, and presses the buttons; each runs the same
// command as the menu button of the same caption, end to end with the real control.
#include "ribbon.h"

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/running_word.h"

#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
namespace literals = text::literals;
using winetest::settingsFile;
using winetest::tcvn3;
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
    if (const HWND form = FindWindowW(L"Penvane.frmPath", nullptr))
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

  wordhost::RunningWord running_;
  wordhost::OleContainer container_{running_.word()};
  wordhost::DialogDriver dialogs_;
  wordhost::AddinHost host_{running_.application()};
  int64_t baseline_ = 0;
};

TEST_F(RibbonInWord, TheGroupStandsOnTheInsertTabAfterWordsTextGroupWithTheMenusFourCommands) {
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
    EXPECT_EQ(b.screentip, b.label);
    EXPECT_FALSE(b.supertip.empty());
    EXPECT_FALSE(b.keytip.empty());
  }
  EXPECT_THAT(labels,
              ElementsAre(wide(literals::kSetUpPathCaption), wide(literals::kInsertCaption),
                          wide(literals::kSignCaption), wide(literals::kInsertAndSignCaption)));
  EXPECT_THAT(actions, ElementsAre(L"Ribbon_SetUpPath", L"Ribbon_Insert", L"Ribbon_Sign",
                                   L"Ribbon_InsertAndSign"));
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
              ElementsAre(tcvn3(literals::kNotice) + L" | " + tcvn3(literals::kFileNotFound),
                          tcvn3(literals::kNotice) + L" | " + tcvn3(literals::kSigningFailed)));
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
