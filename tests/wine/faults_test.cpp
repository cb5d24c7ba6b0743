// Every handler of both libraries under every failure of the host, through real COM: Penvane.dll
// and Sealbrook.ocx registered by regsvr32 and driven by the simulated Word as a Windows
// application (its add-in loader, menu bar and ribbon, the OLE container, the control's own
// windows, timers and popup menu, the path form's window).
//
// Each handler runs once without a fault, and the call log counts its host calls; then once for
// each of those calls with that call failing: with E_FAIL and nothing more (a host that says
// nothing), and with E_ACCESSDENIED and a description of the host's own. Every run checks the
// handler's reaction (each message box to the letter: title, text and icon; or silence), that
// the host holds no reference of ours once the handler is done, and that a clean run right after
// succeeds. A crash ends the process and a hang the run's time limit: either fails the suite.
// The handlers that need nothing from the host are shown to make no host call at all.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"
#include "win32/penvane/window_names.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/ribbon_host.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "control_in_word.h"
#include "simword/call_log.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using wordhost::Icon;
using wordhost::ShownMessage;
namespace literals = text::literals;
using winetest::settingsFile;
using winetest::shown;

// --- Planting the failures ---------------------------------------------------------------------

struct Fault {
  HRESULT hresult;
  std::u16string description;
};
// The host's generic failure, with no words: the code that a refused signing carries too.
const Fault kBareFailure{E_FAIL, u""};
// Another failure, in the host's own words.
const Fault kDescribedFailure{E_ACCESSDENIED,
                              u"T\u00E0i li\u1EC7u \u0111ang b\u1ECB kh\u00F3a b\u1EDFi "
                              u"ng\u01B0\u1EDDi d\u00F9ng kh\u00E1c."};

using Calls = std::vector<simword::CallRecord>;

// The run of a handler: the k-th of its host calls fails (counted from 1), or none (k = 0).
struct Planted {
  size_t call = 0;
  Fault fault{S_OK, u""};
  const Calls* clean = nullptr;  // the handler's calls in the run without a fault

  explicit operator bool() const { return call != 0; }
  bool bare() const { return fault.hresult == E_FAIL; }
  // The words a box shows for the failure: the host's description, else the runtime's text.
  std::wstring description() const {
    return fault.description.empty() ? L"Automation error" : com::wide(fault.description);
  }
  // Whether the failing call is the handler's call of that member.
  bool on(std::string_view member) const { return *this && (*clean)[call - 1].member == member; }
  // Whether the handler's first call of that line (as the call log writes it in the run without
  // a fault) had succeeded when the failure came. Always so in the run without a fault.
  bool after(const std::string& line) const {
    if (!*this) return true;
    for (size_t i = 0; i < clean->size(); ++i)
      if ((*clean)[i].str() == line) return call > i + 1;
    ADD_FAILURE() << "the handler makes no call " << line;
    return false;
  }
};

// The host calls of one handler: the fault is planted when the handler is about to start, and
// lifted when it has ended, for the clean run that follows.
class HandlerCalls {
 public:
  HandlerCalls(simword::Word& word, const Planted& planted)
      : word_(word), first_(word.log().next()) {
    if (planted)
      word.failCall(first_ + planted.call - 1, planted.fault.hresult, planted.fault.description);
  }
  Calls end() {
    word_.clearFaults();
    Calls made;
    for (const auto& r : word_.log().records())
      if (r.number >= first_) made.push_back(r);
    return made;
  }

 private:
  simword::Word& word_;
  uint64_t first_;
};

std::string hex(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
  return buf;
}

// Runs the scenario without a fault, then once for each host call that its handler made in that
// run, with that call failing with each fault in turn. The scenario plants the fault through
// HandlerCalls, checks everything, and returns the handler's calls. Stops at the first run that
// fails, so that one fault does not bury the report. CKS_PRINT_CALLS=1 prints the calls swept.
using Scenario = std::function<Calls(const Planted&)>;
void sweep(const Scenario& scenario) {
  const Calls clean = scenario(Planted{});
  ASSERT_FALSE(testing::Test::HasFailure()) << "the run without a fault";
  ASSERT_FALSE(clean.empty()) << "the handler makes no host call";
  if (std::getenv("CKS_PRINT_CALLS"))
    for (const auto& r : clean) std::printf("  %s\n", r.str().c_str());
  for (size_t k = 1; k <= clean.size(); ++k) {
    // Ending an event connection is the host's bookkeeping: it cannot fail.
    if (clean[k - 1].kind == simword::CallKind::Disconnect) continue;
    for (const Fault& fault : {kBareFailure, kDescribedFailure}) {
      SCOPED_TRACE("call " + std::to_string(k) + " of " + std::to_string(clean.size()) + ", " +
                   clean[k - 1].str() + ", fails with " + hex(fault.hresult));
      const Calls made = scenario(Planted{k, fault, &clean});
      ASSERT_GE(made.size(), k);
      EXPECT_EQ(made[k - 1].member, clean[k - 1].member);
      EXPECT_EQ(made[k - 1].result, fault.hresult);
      if (testing::Test::HasFailure()) return;
    }
  }
}

// --- The add-in --------------------------------------------------------------------------------

const wchar_t kProgId[] = L"Penvane.Connect";

// The add-in's notices carry the title "Thông báo".
ShownMessage notice(std::string_view tcvn3Text, Icon icon) {
  return {shown(literals::kNotice), shown(tcvn3Text), icon};
}

// The path form's window, while the form is loaded.
HWND pathForm() {
  const auto forms = wordhost::windowsOfThisProcess(nullptr, penvane::win::kFormClass);
  return forms.empty() ? nullptr : forms[0];
}
// The user clicks one of the form's command buttons.
void clickOnForm(const wchar_t* caption) {
  const HWND button = FindWindowExW(pathForm(), nullptr, L"Button", caption);
  ASSERT_NE(button, nullptr) << caption;
  SendMessageW(button, BM_CLICK, 0, 0);
}

// One run of Word with the add-in on its list: a simulated Word of its own, so that no menu,
// document or fault of an earlier run is left; its OLE container and its add-in loader.
class WordWithAddin {
 public:
  simword::Word& word() { return running_.word(); }
  IDispatch* application() const { return running_.application(); }
  wordhost::AddinHost& host() { return host_; }
  int64_t references() const { return running_.outstandingReferences(); }
  int64_t baseline() const { return baseline_; }

  // The button of the add-in's popup with that caption; null when there is none.
  simword::ControlPtr button(std::u16string_view caption) {
    const simword::ControlPtr popup = word().menuBar().find(literals::kPopupCaption);
    if (!popup) return nullptr;
    for (const auto& c : popup->controls)
      if (c->isButton() && c->caption == caption) return c;
    return nullptr;
  }
  // The user clicks it; the add-in takes the click.
  void click(std::u16string_view caption) {
    const simword::ControlPtr b = button(caption);
    ASSERT_NE(b, nullptr);
    const auto result = word().click(b);
    EXPECT_EQ(result.delivered, 1u);
    EXPECT_EQ(result.failed, 0u);
  }
  void startUp() { EXPECT_EQ(host_.startUp(), S_OK); }
  // Word exits: the add-in deletes its buttons and lets the host go.
  void exit() {
    EXPECT_EQ(host_.shutDown(), S_OK);
    while (simword::Document* doc = word().activeDocument()) word().close(*doc);
    EXPECT_EQ(word().connectedSinks(), 0u);
    EXPECT_EQ(references(), baseline_);
  }

 private:
  wordhost::RunningWord running_;
  wordhost::OleContainer container_{running_.word()};
  wordhost::AddinHost host_{running_.application()};
  int64_t baseline_ = running_.outstandingReferences();
};

class AddinFaults : public testing::Test {
 protected:
  // The user's signature image: any picture file will do, the control's own among them.
  static std::wstring signatureImage() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\ck copy.gif";
  }

  static void SetUpTestSuite() {
    for (const wchar_t* library : {L"Penvane.dll", L"Sealbrook.ocx"})
      ASSERT_EQ(winetest::regsvr32(winetest::binPath(library)), 0) << library;
    ASSERT_TRUE(wordhost::installPictures());
  }
  static void TearDownTestSuite() {
    wordhost::removePictures();
    for (const wchar_t* library : {L"Sealbrook.ocx", L"Penvane.dll"})
      winetest::regsvr32(winetest::binPath(library), /*unregister=*/true);
  }

  // The signature image chosen in an earlier session: every start-up reads it from settings.ini
  // (and the path form's open-file dialog, left unanswered, is cancelled).
  void SetUp() override {
    ASSERT_TRUE(WritePrivateProfileStringW(L"Path", L"ChildPath", signatureImage().c_str(),
                                           settingsFile().c_str()));
    ASSERT_EQ(wordhost::AddinHost::listAddin(kProgId, 3), S_OK);
  }
  void TearDown() override {
    closePathForm();
    wordhost::AddinHost::unlistAddin(kProgId);
    DeleteFileW(settingsFile().c_str());
  }

  // The form outlives the add-in that loaded it: closed, the next start-up loads it afresh, for
  // the add-in of that start-up, with its open-file dialog.
  static void closePathForm() {
    if (const HWND form = pathForm()) SendMessageW(form, WM_CLOSE, 0, 0);
  }

  // After a failure: Word starts again, the add-in makes its menu whole again, and insert and
  // sign does its work on a new document without a word.
  void expectCleanStartAndInsertAndSign(WordWithAddin& session) {
    session.word().restart();
    dialogs_.clear();
    session.startUp();
    for (const std::u16string_view caption :
         {literals::kSetUpPathCaption, literals::kInsertCaption, literals::kSignCaption,
          literals::kInsertAndSignCaption})
      EXPECT_NE(session.button(caption), nullptr);
    auto& doc = session.word().open(u"Clean");
    session.click(literals::kInsertAndSignCaption);
    EXPECT_EQ(doc.inlineShapes.size(), 1u);
    EXPECT_EQ(doc.signatures.size(), 1u);
    EXPECT_TRUE(!doc.signatures.empty() && doc.signatures[0].committed);
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
  }

  wordhost::DialogDriver dialogs_;
};

// --- The add-in's callbacks: continue-on-error, silent, and success to the host ----------------

// How Word starts the add-in, and what menu it finds there.
enum class Start { HostStartsUp, UserLoads };
enum class Menu { None, LeftByAnEarlierRun };
struct StartCase {
  Start start;
  Menu menu;
};

std::string startName(const testing::TestParamInfo<StartCase>& info) {
  return std::string(info.param.start == Start::HostStartsUp ? "HostStartsUp" : "UserLoads") +
         (info.param.menu == Menu::None ? "OnABareMenuBar" : "OnTheMenuOfAnEarlierRun");
}

// The popup and its four buttons as the add-in made them, left on the menu bar by a run that
// ended without its begin-shutdown.
void leaveMenuOfAnEarlierRun(simword::Word& word) {
  const simword::ControlPtr popup = simword::Word::addControl(
      word.menuBar().controls, 10, std::u16string(literals::kPopupCaption));
  const std::pair<std::u16string_view, std::string_view> buttons[] = {
      {literals::kSetUpPathCaption, literals::kTagSetUpPath},
      {literals::kInsertCaption, literals::kTagInsert},
      {literals::kSignCaption, literals::kSign},
      {literals::kInsertAndSignCaption, literals::kTagInsertAndSign}};
  for (const auto& [caption, tag] : buttons) {
    const simword::ControlPtr b =
        simword::Word::addControl(popup->controls, 1, std::u16string(caption));
    b->style = 2;
    b->tag = text::widenBytes(tag);
    b->onAction = u"!<Penvane.Connect>";
  }
}

// The add-in's commands that the menu bar offers: a complete button of that caption, bound to the
// add-in, on any popup.
size_t commandsOnTheMenu(simword::Word& word) {
  size_t commands = 0;
  for (const std::u16string_view caption :
       {literals::kSetUpPathCaption, literals::kInsertCaption, literals::kSignCaption,
        literals::kInsertAndSignCaption}) {
    bool offered = false;
    for (const auto& popup : word.menuBar().controls)
      for (const auto& b : popup->controls)
        offered = offered || (b->isButton() && b->caption == caption && b->style == 2 &&
                              b->onAction == u"!<Penvane.Connect>" && !b->tag.empty() &&
                              b->visible && b->sinks.size() == 1);
    commands += offered;
  }
  return commands;
}

class StartFaults : public AddinFaults, public testing::WithParamInterface<StartCase> {};

TEST_P(StartFaults, StartUpCompletionGoesOnPastEachFailingCall) {
  sweep([&](const Planted& planted) -> Calls {
    closePathForm();
    dialogs_.clear();
    WordWithAddin session;
    if (GetParam().menu == Menu::LeftByAnEarlierRun) leaveMenuOfAnEarlierRun(session.word());
    const size_t fileDialogs = dialogs_.fileDialogs().size();
    HandlerCalls calls(session.word(), planted);
    if (GetParam().start == Start::HostStartsUp)
      session.startUp();  // OnConnection (mode 1), then OnStartupComplete
    else
      EXPECT_EQ(session.host().load(kProgId), S_OK);  // OnConnection (mode 0) completes it
    const Calls made = calls.end();
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    // The steps after the menu ran: the settings read, then the path form with its dialog, which
    // asks the user only where Word says a user sees it.
    EXPECT_EQ(dialogs_.fileDialogs().size(), fileDialogs + (planted.on("UserControl") ? 0 : 1));
    // The add-in holds the host and the buttons in its fields (and the connection to Word's
    // events, for the ribbon), and nothing else.
    EXPECT_EQ(session.references(),
              session.baseline() + 1 + static_cast<int64_t>(session.word().connectedSinks()));
    // Either the menu was out of reach and no button is bound, or the failure cost one command
    // at the most.
    if (session.word().connectedSinks() > session.word().connectedApplicationSinks()) {
      EXPECT_GE(commandsOnTheMenu(session.word()), 3u);
    }
    session.exit();
    expectCleanStartAndInsertAndSign(session);
    session.exit();
    return made;
  });
}

INSTANTIATE_TEST_SUITE_P(Starts, StartFaults,
                         testing::Values(StartCase{Start::HostStartsUp, Menu::None},
                                         StartCase{Start::HostStartsUp, Menu::LeftByAnEarlierRun},
                                         StartCase{Start::UserLoads, Menu::None}),
                         startName);

// How the add-in is let go: Word exits (begin-shutdown, then disconnection), or the user unloads
// it (disconnection, which runs begin-shutdown itself).
class EndFaults : public AddinFaults, public testing::WithParamInterface<bool> {};

TEST_P(EndFaults, EveryButtonWhoseDeleteSucceedsGoesAndTheHostIsLetGo) {
  const bool userUnloads = GetParam();
  sweep([&](const Planted& planted) -> Calls {
    closePathForm();
    WordWithAddin session;
    session.startUp();
    dialogs_.clear();
    HandlerCalls calls(session.word(), planted);
    if (userUnloads) {
      EXPECT_EQ(session.host().unload(kProgId), S_OK);  // OnDisconnection (mode 1)
      EXPECT_EQ(session.references(), session.baseline());
      EXPECT_EQ(session.word().connectedSinks(), 0u);
    } else {
      session.exit();  // OnBeginShutdown, then OnDisconnection (mode 0)
    }
    const Calls made = calls.end();
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    // A button whose Delete failed stays on the menu, bound to nothing; the others are gone and
    // the popup stays.
    const simword::ControlPtr popup = session.word().menuBar().find(literals::kPopupCaption);
    EXPECT_NE(popup, nullptr);
    if (!popup) return made;
    EXPECT_EQ(popup->controls.size(), planted ? 1u : 0u);
    // The next start finds that button by its caption and binds it again: four buttons, whole.
    if (userUnloads) {
      EXPECT_EQ(session.host().load(kProgId), S_OK);
      auto& doc = session.word().open(u"Clean");
      session.click(literals::kInsertAndSignCaption);
      EXPECT_EQ(doc.signatures.size(), 1u);
      EXPECT_THAT(dialogs_.messages(), IsEmpty());
    } else {
      expectCleanStartAndInsertAndSign(session);
    }
    EXPECT_EQ(popup->controls.size(), 4u);
    session.exit();
    return made;
  });
}

INSTANTIATE_TEST_SUITE_P(Ends, EndFaults, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "TheUserUnloadsTheAddin" : "WordExits";
                         });

// --- The document commands: one trap each -------------------------------------------------------

enum class Command { Insert, Sign, InsertAndSign };
// Where the user starts a command: its button on the menu bar, its button on the ribbon, or (for
// insert and sign) the item "chen" of the path form's menu.
enum class Entry { Menu, Ribbon, FormMenu };

struct CommandCase {
  Command command;
  Entry entry;
};

std::string commandName(const testing::TestParamInfo<CommandCase>& info) {
  const char* const commands[] = {"Insert", "Sign", "InsertAndSign"};
  const char* const entries[] = {"FromTheMenu", "FromTheRibbon", "FromTheFormsMenu"};
  return std::string(commands[static_cast<int>(info.param.command)]) +
         entries[static_cast<int>(info.param.entry)];
}

class CommandFaults : public AddinFaults, public testing::WithParamInterface<CommandCase> {
 protected:
  void run(WordWithAddin& session) {
    const CommandCase c = GetParam();
    const auto index = static_cast<size_t>(c.command);
    switch (c.entry) {
      case Entry::Menu: {
        const std::u16string_view captions[] = {literals::kInsertCaption, literals::kSignCaption,
                                                literals::kInsertAndSignCaption};
        session.click(captions[index]);
        break;
      }
      case Entry::Ribbon: {
        const wchar_t* const ids[] = {L"PenvaneInsert", L"PenvaneSign", L"PenvaneInsertAndSign"};
        wordhost::Ribbon* ribbon = session.host().ribbon(kProgId);
        ASSERT_NE(ribbon, nullptr);
        EXPECT_EQ(ribbon->press(ids[index]), S_OK);
        break;
      }
      case Entry::FormMenu:
        dialogs_.chooseMenuItem(1);  // "chen"
        clickOnForm(L"Command3");
        break;
    }
  }

  // What the user is shown when the planted failure ends the command.
  std::vector<ShownMessage> reaction(const Planted& planted) const {
    if (!planted) return {};
    // Word refused to create the block: the signature picture went in instead, and the command
    // carried on; why is told, whatever the command and the code.
    if (planted.on("AddOLEControl"))
      return {{shown(literals::kNotice),
               com::wide(literals::kPictureInstead) + L"\r\n" + planted.description(),
               Icon::Information}};
    switch (GetParam().command) {
      case Command::Insert:  // whatever failed
        return {notice(literals::kFileNotFound, Icon::Exclamation)};
      case Command::Sign:
        if (planted.bare()) return {};  // a refusal, passed over
        return {notice(literals::kSigningFailed, Icon::Information)};
      case Command::InsertAndSign:
        if (planted.bare()) return {};
        return {{L"Penvane", planted.description(), Icon::None}};
    }
    return {};
  }
};

TEST_P(CommandFaults, EachFailingHostCallEndsTheCommandWithItsReaction) {
  const Command command = GetParam().command;
  const bool inserts = command != Command::Sign;
  const bool signs = command != Command::Insert;
  sweep([&](const Planted& planted) -> Calls {
    closePathForm();
    WordWithAddin session;
    session.startUp();
    auto& doc = session.word().open(u"Report");
    doc.designMode = true;
    dialogs_.clear();
    const int64_t held = session.references();  // the add-in's own: the host and four buttons

    HandlerCalls calls(session.word(), planted);
    run(session);
    const Calls made = calls.end();
    EXPECT_THAT(dialogs_.messages(), testing::ElementsAreArray(reaction(planted)));
    EXPECT_EQ(session.references(), held);  // a command keeps only locals
    // A step taken stays taken: the block of a failed insert and sign stays in the document.
    const bool inserted =
        inserts && (planted.on("AddOLEControl") ||
                    planted.after("InlineShapes.AddOLEControl(ClassType:=\"Sealbrook.SignData\")"));
    EXPECT_EQ(doc.inlineShapes.size(), inserted ? 1u : 0u);
    const bool committed =
        signs && (planted.on("AddOLEControl") || planted.after("Signatures.Commit()"));
    EXPECT_EQ(!doc.signatures.empty() && doc.signatures.back().committed, committed);

    // The next run of the command, on another document, does its work without a word.
    dialogs_.clear();
    auto& clean = session.word().open(u"Clean");
    run(session);
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    EXPECT_EQ(clean.inlineShapes.size(), inserts ? 1u : 0u);
    EXPECT_EQ(clean.signatures.size(), signs ? 1u : 0u);
    session.exit();
    return made;
  });
}

INSTANTIATE_TEST_SUITE_P(Entries, CommandFaults,
                         testing::Values(CommandCase{Command::Insert, Entry::Menu},
                                         CommandCase{Command::Sign, Entry::Menu},
                                         CommandCase{Command::InsertAndSign, Entry::Menu},
                                         CommandCase{Command::Insert, Entry::Ribbon},
                                         CommandCase{Command::Sign, Entry::Ribbon},
                                         CommandCase{Command::InsertAndSign, Entry::Ribbon},
                                         CommandCase{Command::InsertAndSign, Entry::FormMenu}),
                         commandName);

// --- The add-in's handlers that need nothing from the host -------------------------------------

// The "custom" argument of the add-in callbacks: an empty array of variants, as Word passes it.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() { SafeArrayDestroy(array_); }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

// No failure of the host can reach them: they make no host call at all, do their own work, and
// hold nothing of the host's afterwards.
TEST_F(AddinFaults, HandlersThatNeedNothingFromTheHostMakeNoHostCall) {
  WordWithAddin session;
  session.startUp();
  const auto noHostCall = [&](const char* handler, const std::function<void()>& run) {
    SCOPED_TRACE(handler);
    const uint64_t next = session.word().log().next();
    const int64_t held = session.references();
    run();
    EXPECT_THAT(session.word().log().linesFrom(next), IsEmpty());
    EXPECT_EQ(session.references(), held);
  };
  const auto untitled = [](const wchar_t* text) {
    return ShownMessage{L"Penvane", text, Icon::None};
  };

  noHostCall("OnAddInsUpdate", [&] {
    CustomArray custom;
    EXPECT_EQ(session.host().addin(kProgId)->OnAddInsUpdate(custom.get()), S_OK);
  });
  noHostCall("OnConnection at start-up, and OnDisconnection at exit", [&] {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    com::ComPtr<IDTExtensibility2> addin;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDTExtensibility2),
                               addin.putVoid()),
              S_OK);
    CustomArray custom;
    EXPECT_EQ(addin->OnConnection(session.application(), ext_cm_Startup, nullptr, custom.get()),
              S_OK);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, custom.get()), S_OK);
  });
  noHostCall("the ribbon's GetCustomUI and loadImage", [&] {
    const wordhost::Ribbon ribbon(session.host().addin(kProgId));
    EXPECT_TRUE(ribbon.customised());
    EXPECT_THAT(ribbon.problems(), IsEmpty());
  });

  // The path form, loaded by the start-up.
  dialogs_.clear();
  noHostCall("Command1", [&] { clickOnForm(L"Command1"); });
  EXPECT_THAT(dialogs_.messages(), ElementsAre(untitled(L"OK")));
  noHostCall("Command3, then mnuKy", [&] {
    dialogs_.chooseMenuItem(0);
    clickOnForm(L"Command3");
  });
  noHostCall("Command3, the menu dismissed", [&] {
    dialogs_.dismissMenu();
    clickOnForm(L"Command3");
  });
  EXPECT_THAT(dialogs_.menus(), testing::Each(ElementsAre(L"Ky", L"chen")));
  noHostCall("Command2", [&] { clickOnForm(L"Command2"); });
  EXPECT_EQ(pathForm(), nullptr);

  // The set-up-path command loads the form again (Form_Load and its dialog), shows it, unloads
  // it and saves the path.
  const size_t fileDialogs = dialogs_.fileDialogs().size();
  noHostCall("MyButton_Click", [&] { session.click(literals::kSetUpPathCaption); });
  noHostCall("Ribbon_SetUpPath",
             [&] { EXPECT_EQ(session.host().ribbon(kProgId)->press(L"PenvaneSetUpPath"), S_OK); });
  EXPECT_EQ(dialogs_.fileDialogs().size(), fileDialogs + 2);
  EXPECT_EQ(pathForm(), nullptr);
  wchar_t saved[MAX_PATH] = {};
  GetPrivateProfileStringW(L"Path", L"ChildPath", L"", saved, MAX_PATH, settingsFile().c_str());
  EXPECT_EQ(saved, signatureImage());

  // The user unloads and loads the add-in, which loads the form again; then closes the form.
  EXPECT_EQ(session.host().unload(kProgId), S_OK);
  EXPECT_EQ(session.host().load(kProgId), S_OK);
  ASSERT_NE(pathForm(), nullptr);
  noHostCall("the form's close box", [&] { SendMessageW(pathForm(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(pathForm(), nullptr);

  EXPECT_THAT(dialogs_.messages(), ElementsAre(untitled(L"OK")));
  session.exit();
}

// --- The control -------------------------------------------------------------------------------

class ControlFaults : public winetest::ControlInWord {
 protected:
  // A new document with a new block in it. The block's design-mode tick is left to the test, and
  // its timers tick only when the test says so.
  wordhost::EmbeddedObject& freshBlock() {
    while (simword::Document* doc = word().activeDocument()) word().close(*doc);
    EXPECT_EQ(running_.outstandingReferences(), baseline_);
    word().log().clear();
    dialogs_.clear();
    word().open(u"Report");
    auto& block = insert();
    wordhost::holdTimers();
    return block;
  }
  // The control holds no host reference between its events.
  void expectNothingHeld() { EXPECT_EQ(running_.outstandingReferences(), baseline_); }
};

TEST_F(ControlFaults, TheRefreshGoesOnPastEachFailingCallAndKeepsTicking) {
  sweep([&](const Planted& planted) -> Calls {
    auto& block = freshBlock();
    signByHost();
    HandlerCalls calls(word(), planted);
    tick();
    const Calls made = calls.end();
    wordhost::holdTimers();
    expectNothingHeld();
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    {
      // A count that cannot be read changes no picture; a validity that cannot be read is not
      // vouched for.
      const winetest::Rendering shown(block.object(), false);
      if (planted.after("Signatures.Count")) {
        EXPECT_TRUE(shown.showsSignature());
        EXPECT_EQ(shown.showsValid(), !planted);
        EXPECT_EQ(shown.showsInvalid(), static_cast<bool>(planted));
      } else {
        EXPECT_TRUE(shown.isEmptyBlock());
      }
    }
    // The timer runs on: the next tick shows the valid signature.
    tick();
    wordhost::holdTimers();
    const winetest::Rendering next(block.object(), false);
    EXPECT_TRUE(next.showsSignature());
    EXPECT_TRUE(next.showsValid());
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    return made;
  });
}

TEST_F(ControlFaults, TheDesignModeExitEndsSilentlyAtEachFailingCallAndNeverRunsAgain) {
  sweep([&](const Planted& planted) -> Calls {
    auto& block = freshBlock();
    simword::Document& doc = *word().activeDocument();
    EXPECT_TRUE(doc.designMode);  // the insertion entered it
    HandlerCalls calls(word(), planted);
    wordhost::fireTimers(2);
    const Calls made = calls.end();
    expectNothingHeld();
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    EXPECT_EQ(doc.designMode, static_cast<bool>(planted));
    // Stopped for good, even after a failure: another tick reaches nothing.
    const uint64_t next = word().log().next();
    wordhost::fireTimers(2);
    EXPECT_EQ(word().log().next(), next);
    // The block still works: its sign command signs and leaves design mode.
    sign(block);
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    EXPECT_EQ(doc.signatures.size(), 1u);
    EXPECT_TRUE(!doc.signatures.empty() && doc.signatures[0].committed);
    EXPECT_FALSE(doc.designMode);
    return made;
  });
}

// The document's custom properties when the sign command runs: none, or "Sign" holding
// something else (the command then looks it up and rewrites its value).
class SignFaults : public ControlFaults, public testing::WithParamInterface<bool> {};

TEST_P(SignFaults, TheSignCommandEndsSilentlyAtEachFailingCall) {
  const bool hasSign = GetParam();
  const std::string write =
      hasSign ? "DocumentProperty.Value = \"C:\\WINDOWS\\ck copy.gif\" @1033"
              : "DocumentProperties.Add(\"Sign\", False, 4&, \"C:\\WINDOWS\\ck copy.gif\", "
                "Empty) @1033";
  sweep([&](const Planted& planted) -> Calls {
    auto& block = freshBlock();
    wordhost::fireTimers(2);  // out of design mode, as a second later
    simword::Document& doc = *word().activeDocument();
    doc.designMode = true;  // and in it again: the command leaves it
    if (hasSign) doc.properties.push_back({u"Sign", false, 4, std::u16string(u"D:\\old.gif"), {}});
    HandlerCalls calls(word(), planted);
    sign(block);
    const Calls made = calls.end();
    expectNothingHeld();
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    const bool committed = planted.after("Signatures.Commit()");
    EXPECT_EQ(!doc.signatures.empty() && doc.signatures.back().committed, committed);
    // What was done before the failing step stays done.
    const simword::Property* property = doc.findProperty(u"Sign");
    EXPECT_EQ(property && property->value == automation::Variant(u"C:\\WINDOWS\\ck copy.gif"),
              planted.after(write));
    {
      // The pictures show a signature exactly when one was committed.
      const winetest::Rendering shown(block.object(), false);
      EXPECT_EQ(shown.showsSignature() && shown.showsValid(), committed);
      EXPECT_EQ(shown.isEmptyBlock(), !committed);
    }
    // Signing again works.
    const size_t before = doc.signatures.size();
    sign(block);
    EXPECT_THAT(dialogs_.messages(), IsEmpty());
    EXPECT_EQ(doc.signatures.size(), before + 1);
    EXPECT_TRUE(!doc.signatures.empty() && doc.signatures.back().committed);
    EXPECT_FALSE(doc.designMode);
    EXPECT_TRUE(winetest::Rendering(block.object(), false).showsValid());
    return made;
  });
}

INSTANTIATE_TEST_SUITE_P(Properties, SignFaults, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "SignHoldingAnotherValue" : "NoProperties";
                         });

TEST_F(ControlFaults, TheVerifyCommandShowsWhatFailedAtEachFailingCall) {
  const ShownMessage firstBox{shown(literals::kValidTitle), {}, Icon::Information};
  const ShownMessage secondBox{shown(literals::kInvalidTitle), {}, Icon::Critical};
  const auto titleAndIcon = [](const ShownMessage& box) {
    return testing::AllOf(testing::Field(&ShownMessage::title, box.title),
                          testing::Field(&ShownMessage::icon, box.icon));
  };
  sweep([&](const Planted& planted) -> Calls {
    auto& block = freshBlock();
    wordhost::fireTimers(2);
    signByHost();
    signByHost();
    word().activeDocument()->signatures[1].markedInvalid = true;
    HandlerCalls calls(word(), planted);
    verify(block);
    const Calls made = calls.end();
    expectNothingHeld();
    // The boxes of the signatures read before the failure, then the failure's own box.
    const auto& shown = dialogs_.messages();
    if (!planted) {
      EXPECT_THAT(shown, ElementsAre(titleAndIcon(firstBox), titleAndIcon(secondBox)));
    } else {
      const ShownMessage failure{L"Sealbrook", planted.description(), Icon::Critical};
      if (planted.after("Signature.SignDate"))
        EXPECT_THAT(shown, ElementsAre(titleAndIcon(firstBox), failure));
      else
        EXPECT_THAT(shown, ElementsAre(failure));
    }
    EXPECT_TRUE(winetest::Rendering(block.object(), false).isEmptyBlock());  // no picture changes
    // Verifying again shows both signatures.
    dialogs_.clear();
    verify(block);
    EXPECT_THAT(dialogs_.messages(), ElementsAre(titleAndIcon(firstBox), titleAndIcon(secondBox)));
    return made;
  });
}

TEST_F(ControlFaults, ItsPopupMenuNeedsNothingFromTheHost) {
  auto& block = freshBlock();
  wordhost::fireTimers(2);
  const uint64_t next = word().log().next();
  dialogs_.dismissMenu();
  click(picture1(block), 5, 5);  // Image1's click
  dialogs_.dismissMenu();
  SendMessageW(block.window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(239, 135));  // the strip
  EXPECT_THAT(dialogs_.menus(),
              testing::Each(ElementsAre(shown(literals::kSign), shown(literals::kVerify))));
  EXPECT_EQ(dialogs_.menus().size(), 2u);
  EXPECT_THAT(word().log().linesFrom(next), IsEmpty());
  expectNothingHeld();
}

}  // namespace
