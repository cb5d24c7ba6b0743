// Penvane.dll in the simulated Word under Wine: registered by regsvr32, loaded from Word's
// add-in list at start-up and later by the user, its menu, its bindings, its settings file.
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/registry.h"
#include "win32/penvane/platform.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/running_word.h"

#include "host/office.h"
#include "penvane/image_path.h"
#include "registration/libraries.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
namespace literals = text::literals;

// {72122E6D-358D-4A2B-946F-177E22D274BC}, Penvane.Connect
const wchar_t kClsid[] = L"{72122E6D-358D-4A2B-946F-177E22D274BC}";
const wchar_t kLibid[] = L"{6A304F2F-A2FE-43A0-B21C-4CF8A5D4555B}";
const wchar_t kConnectIid[] = L"{598B77D4-DFD1-4DD6-BBDC-2F978B5D11FE}";
const wchar_t kProgId[] = L"Penvane.Connect";

std::wstring penvaneDll() {
  return winetest::binPath(L"Penvane.dll");
}

// What the library registers, in the process's own view of the registry or in the one given.
std::wstring registration(REGSAM view = 0) {
  return winetest::dumpKey(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kClsid, view) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, kProgId, view) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibid, view) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, std::wstring(L"Interface\\") + kConnectIid, view) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, L"Interface\\{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}",
                           view);
}

TEST(PenvaneRegistration, Regsvr32RegistersExactlyTheLibraryClassProgIdAndInterface) {
  winetest::regsvr32(penvaneDll(), /*unregister=*/true);  // whatever an earlier run left
  const std::wstring before = registration();
  ASSERT_EQ(winetest::regsvr32(penvaneDll()), 0);
  const std::wstring registered = registration();
  EXPECT_THAT(registered, HasSubstr(L"InprocServer32] =" + penvaneDll()));
  EXPECT_THAT(registered, HasSubstr(L"InprocServer32] ThreadingModel=Apartment"));
  EXPECT_THAT(registered, HasSubstr(L"Penvane.Connect\\CLSID] =" + std::wstring(kClsid)));
  EXPECT_THAT(registered, HasSubstr(L"\\1.0\\409\\win64] =" + penvaneDll()));
  EXPECT_THAT(registered, HasSubstr(L"\\1.0] =Penvane"));
  EXPECT_THAT(registered, HasSubstr(std::wstring(kConnectIid) + L"] =_Connect"));
  EXPECT_THAT(registered, testing::Not(HasSubstr(L"B65AD801")));
  GUID libid;
  ASSERT_EQ(CLSIDFromString(kLibid, &libid), S_OK);
  com::ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadRegTypeLib(libid, 1, 0, 0x0409, library.put()), S_OK);
  ASSERT_EQ(winetest::regsvr32(penvaneDll(), /*unregister=*/true), 0);
  EXPECT_EQ(registration(), before);
}

TEST(PenvaneRegistration, UnregisteringOneArchitectureLeavesWhatTheOtherStillUses) {
  // The x86 build registered beside it, as its own DllRegisterServer writes its rows: in the
  // 32-bit view.
  const std::wstring x86Dll = L"C:\\x86\\Penvane.dll";
  const auto x86 =
      registration::penvaneLibrary(com::u16(x86Dll), registration::Architecture::X86).keys();
  ASSERT_EQ(com::registerKeys(x86, com::Scope::Machine, registration::Architecture::X86), S_OK);
  ASSERT_EQ(winetest::regsvr32(penvaneDll()), 0);
  ASSERT_EQ(winetest::regsvr32(penvaneDll(), /*unregister=*/true), 0);

  // What the x86 build reads is whole, whichever keys the two views share: its class and
  // ProgID, its interface, the type library with its win32 path.
  const std::wstring left = registration(KEY_WOW64_32KEY);
  EXPECT_THAT(left, HasSubstr(L"InprocServer32] =" + x86Dll));
  EXPECT_THAT(left, HasSubstr(L"Penvane.Connect\\CLSID] =" + std::wstring(kClsid)));
  EXPECT_THAT(left, HasSubstr(std::wstring(kConnectIid) + L"] =_Connect"));
  EXPECT_THAT(left, HasSubstr(L"\\1.0] =Penvane"));
  EXPECT_THAT(left, HasSubstr(L"\\409\\win32] =" + x86Dll));
  // Nothing in either view names the x64 build any more.
  const std::wstring both = registration(KEY_WOW64_64KEY) + left;
  EXPECT_THAT(both, testing::Not(HasSubstr(penvaneDll())));
  EXPECT_THAT(both, testing::Not(HasSubstr(L"win64")));

  // The x86 build goes too: then nothing of ours is left in either view.
  ASSERT_EQ(com::unregisterKeys(x86, com::Scope::Machine, registration::Architecture::X86), S_OK);
  EXPECT_EQ(registration(KEY_WOW64_64KEY) + registration(KEY_WOW64_32KEY), L"");
}

class PenvaneInWord : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(winetest::regsvr32(penvaneDll()), 0); }
  static void TearDownTestSuite() { winetest::regsvr32(penvaneDll(), /*unregister=*/true); }
  void SetUp() override { baseline_ = running_.outstandingReferences(); }
  void TearDown() override {
    host_.reset();
    wordhost::AddinHost::unlistAddin(kProgId);
    EXPECT_EQ(running_.outstandingReferences(), baseline_);
  }

  simword::Word& word() { return running_.word(); }
  wordhost::AddinHost& host() { return *host_; }
  simword::ControlPtr popup() { return word().menuBar().find(literals::kPopupCaption); }
  std::vector<std::u16string> captions() {
    std::vector<std::u16string> out;
    for (const auto& c : popup()->controls) out.push_back(c->caption);
    return out;
  }
  void expectTheMenu() {
    ASSERT_EQ(word().menuBar().controls.size(), 1u);
    ASSERT_NE(popup(), nullptr);
    EXPECT_EQ(popup()->type, 10);
    EXPECT_THAT(captions(), ElementsAre(literals::kSetUpPathCaption, literals::kInsertCaption,
                                        literals::kSignCaption, literals::kInsertAndSignCaption));
    const std::string_view tags[] = {literals::kTagSetUpPath, literals::kTagInsert, literals::kSign,
                                     literals::kTagInsertAndSign};
    for (size_t i = 0; i < popup()->controls.size(); ++i) {
      const auto& b = *popup()->controls[i];
      EXPECT_TRUE(b.isButton());
      EXPECT_EQ(b.style, 2);
      EXPECT_EQ(b.tag, text::widenBytes(tags[i]));
      EXPECT_EQ(b.onAction, u"!<Penvane.Connect>");
      EXPECT_TRUE(b.visible);
    }
  }

  wordhost::RunningWord running_;
  wordhost::DialogDriver dialogs_;  // the path form may come with an open-file dialog
  std::unique_ptr<wordhost::AddinHost> host_ =
      std::make_unique<wordhost::AddinHost>(running_.application());
  int64_t baseline_ = 0;
};

TEST_F(PenvaneInWord, AtHostStartUpTheMenuIsBuiltAndEveryButtonsClickReachesTheAddin) {
  ASSERT_EQ(wordhost::AddinHost::listAddin(kProgId, 3), S_OK);
  ASSERT_EQ(host().startUp(), S_OK);
  ASSERT_TRUE(host().isLoaded(kProgId));
  expectTheMenu();
  EXPECT_EQ(word().connectedSinks(), 5u);  // the four buttons, and Word's events for the ribbon
  for (const auto& button : popup()->controls) {
    const auto result = word().click(button);
    EXPECT_EQ(result.delivered, 1u);
    EXPECT_EQ(result.failed, 0u);
    EXPECT_FALSE(result.cancelDefault);
  }
  ASSERT_EQ(host().shutDown(), S_OK);
}

TEST_F(PenvaneInWord, ExitDeletesTheButtonsOnceAndTheNextStartRefillsThePopup) {
  ASSERT_EQ(wordhost::AddinHost::listAddin(kProgId, 3), S_OK);
  ASSERT_EQ(host().startUp(), S_OK);
  const uint64_t exitStarts = word().log().next();
  ASSERT_EQ(host().shutDown(), S_OK);
  const auto lines = word().log().linesFrom(exitStarts);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "CommandBarButton.Delete()"), 4);
  ASSERT_NE(popup(), nullptr);
  EXPECT_TRUE(popup()->controls.empty());
  EXPECT_EQ(word().connectedSinks(), 0u);

  word().restart();
  ASSERT_EQ(host().startUp(), S_OK);
  expectTheMenu();
  ASSERT_EQ(host().shutDown(), S_OK);
}

TEST_F(PenvaneInWord, LoadedAndUnloadedByTheUserTheMenuComesAndGoes) {
  ASSERT_EQ(host().load(kProgId), S_OK);  // mode 0: the menu is built during connection
  expectTheMenu();
  ASSERT_EQ(host().unload(kProgId), S_OK);  // mode 1: disconnection deletes the buttons
  EXPECT_TRUE(popup()->controls.empty());
  EXPECT_EQ(word().connectedSinks(), 0u);
}

// The settings store on the platform itself: settings.ini in the prefix's system directory
// through kernel32's ANSI profile functions, message boxes through user32.
class PenvaneSettings : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    file_ = std::wstring(dir) + L"\\settings.ini";
    remove();
  }
  void TearDown() override { remove(); }
  void remove() {
    SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file_.c_str());
  }
  void write(const std::string& content) {
    std::ofstream(com::wide(com::u16(file_)).c_str(), std::ios::binary) << content;
  }
  std::string read() {
    std::ifstream in(file_.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::wstring file_;
  penvane::win::SettingsStore settings_;
  penvane::win::MessageBoxes messages_;
  penvane::ImagePath path_{settings_, messages_};
  wordhost::DialogDriver dialogs_;
};

TEST_F(PenvaneSettings, TheFileIsReadWithItsDefaultTrimmingAndLengthLimit) {
  path_.read();
  EXPECT_EQ(com::wide(path_.systemDirectory()) + L"\\settings.ini", file_);
  EXPECT_EQ(path_.path(), u"No");
  EXPECT_TRUE(path_.ready());

  write("[Path]\r\nChildPath=   C:\\Sig\\my sig.gif   \r\n");
  path_.read();
  EXPECT_EQ(path_.path(), u"C:\\Sig\\my sig.gif");

  // The store gives the whole value, however long; the add-in takes what its buffer holds.
  write("[Path]\r\nChildPath=" + std::string(700, 'x') + "\r\n");
  EXPECT_EQ(settings_.ReadValue(com::u16(file_), u"Path", u"ChildPath", "No").size(), 700u);
  path_.read();
  EXPECT_EQ(path_.path(), std::u16string(199, u'x'));
}

TEST_F(PenvaneSettings, ThePathIsWrittenAndAFailedWriteIsShownToTheUser) {
  write("[Other]\r\nKey=1\r\n");
  path_.read();
  path_.replace(u"C:\\Sig\\ch\u00FB k\u00FD.gif");
  path_.save();
  EXPECT_THAT(read(), HasSubstr("ChildPath=C:\\Sig\\ch\xFB k\xFD.gif"));
  EXPECT_THAT(read(), HasSubstr("[Other]"));
  EXPECT_TRUE(dialogs_.messages().empty());

  // A file the add-in cannot write: the new message, and the path stays in memory. (Held
  // open without sharing by another program; the read-only attribute would do on Windows, but
  // Wine running as root writes read-only files.)
  const HANDLE held = CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  path_.replace(u"D:\\other.png");
  path_.save();
  CloseHandle(held);
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].title, com::wide(text::widenBytes(literals::kNotice)));
  EXPECT_EQ(dialogs_.messages()[0].text, com::wide(text::widenBytes(literals::kCouldNotSavePath)));
  EXPECT_EQ(dialogs_.messages()[0].icon, wordhost::Icon::Exclamation);
  EXPECT_EQ(path_.path(), u"D:\\other.png");
  EXPECT_TRUE(path_.ready());
  EXPECT_THAT(read(), testing::Not(HasSubstr("other.png")));
}

TEST_F(PenvaneSettings, NothingToSaveShowsTheMessageAndWritesNothing) {
  path_.save();
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].text, com::wide(text::widenBytes(literals::kChoosePathFirst)));
  EXPECT_EQ(GetFileAttributesW(file_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(path_.ready());
}

// The runtime's Dir on the platform: the first ordinary file that the path matches.
TEST(PenvaneFileSearch, FindsOrdinaryFilesOnlyAndReturnsTheirNames) {
  const std::wstring folder = winetest::tempFolder() + L"Penvane Dir\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"a folder.gif").c_str(), nullptr);
  auto create = [&](const wchar_t* name, DWORD attributes) {
    const HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, attributes, nullptr);
    CloseHandle(file);
  };
  create(L"ch\u1EEF k\u00FD.gif", FILE_ATTRIBUTE_NORMAL);
  create(L"hidden.png", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(GetFileAttributesW((folder + L"hidden.png").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  penvane::win::FileSearch files;
  auto dir = [&](const std::wstring& path) { return com::wide(files.Dir(com::u16(path))); };

  EXPECT_EQ(dir(folder + L"ch\u1EEF k\u00FD.gif"), L"ch\u1EEF k\u00FD.gif");
  EXPECT_EQ(dir(folder + L"*.gif"), L"ch\u1EEF k\u00FD.gif");  // the folder does not match
  EXPECT_EQ(dir(folder + L"a folder.gif"), L"");
  EXPECT_EQ(dir(folder + L"hidden.png"), L"");
  EXPECT_EQ(dir(folder + L"missing.gif"), L"");
  EXPECT_EQ(dir(L"No"), L"");

  SetFileAttributesW((folder + L"hidden.png").c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW((folder + L"hidden.png").c_str());
  DeleteFileW((folder + L"ch\u1EEF k\u00FD.gif").c_str());
  RemoveDirectoryW((folder + L"a folder.gif").c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
