// The main job: Penvane.dll and Sealbrook.ocx in the simulated Word, under Wine, from start-up
// to exit, told step by step: the user works through the add-in's own buttons and dialogs, and
// everything the add-in says is printed. Exits non-zero when something does not happen as it
// should. The prefix is left as it was found.
//
// At the key moments the job takes pictures of Word's windows from the screen, as BMP files in
// "screenshots" beside it (scripts/screenshots makes the README's PNG files of them). A picture
// that cannot be taken is reported and the story goes on.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "win32/com/bstr.h"
#include "win32/penvane/window_names.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"
#include "wordhost/screenshot.h"
#include "wordhost/timers.h"

#include "base/unicode.h"
#include "host/office.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace {

int g_failures = 0;

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
}

void expect(bool ok, const std::string& what) {
  std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

std::string utf8(std::u16string_view s) {
  return text::toUtf8(s);
}
std::string utf8(const std::wstring& s) {
  return utf8(com::u16(s));
}

// One of the system's texts as this screen (no TCVN3 font) shows it.
std::string shown(std::string_view tcvn3) {
  return utf8(text::TCVN3ToUnicode(text::widenBytes(tcvn3)));
}

std::wstring besideMe(const wchar_t* file) {
  return wordhost::executableFolder() + file;
}

bool run(const std::wstring& commandLine) {
  return wordhost::run(commandLine) == 0;
}

using wordhost::pump;

std::wstring systemFolder() {
  wchar_t path[MAX_PATH] = {};
  GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

// A file's bytes, or nothing when it is not there.
std::optional<std::string> contentOf(const std::wstring& file) {
  std::ifstream in(file.c_str(), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A box's text of several lines, each under the one before, indented.
std::string lines(const std::string& text) {
  std::string out;
  size_t from = 0;
  for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    out += text.substr(from, end - from) + "\n        ";
  out += text.substr(from);
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
  return out;
}

// Pictures of the screen, named for the moment they show.
class Pictures {
 public:
  Pictures() : folder_(besideMe(L"screenshots\\")) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder_ + L"*.bmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do DeleteFileW((folder_ + found.cFileName).c_str());
    while (FindNextFileW(find, &found));
    FindClose(find);
  }

  // The window as it shows now, after it painted, with the menus and boxes open over it; or only
  // its part from the top down to the bottom of one of its children.
  void take(const std::wstring& name, HWND window, HWND downTo = nullptr) {
    wordhost::settle(window);
    RECT area = wordhost::shownArea(window);
    RECT child{};
    if (downTo && GetWindowRect(downTo, &child)) area.bottom = child.bottom;
    save(name, area);
  }
  // The window with a menu or box that the dialog driver holds on the screen.
  void takeWith(const std::wstring& name, HWND window, HWND over) {
    save(name, wordhost::withWindow(wordhost::shownArea(window), over));
  }

 private:
  void save(const std::wstring& name, const RECT& area) {
    if (wordhost::saveScreen(area, folder_ + name + L".bmp"))
      say("  (picture: screenshots\\" + utf8(name) + ".bmp)");
    else
      say("  (no picture " + utf8(name) + ": the screen could not be read)");
  }
  std::wstring folder_;
};

// What the user saw since the last look: the message boxes and open-file dialogs.
class Screen {
 public:
  explicit Screen(const wordhost::DialogDriver& dialogs) : dialogs_(dialogs) {}

  void tell(const std::string& who = "the add-in") {
    const auto& shown = dialogs_.fileDialogs();
    for (; fileDialogs_ < shown.size(); ++fileDialogs_) {
      const wordhost::ShownFileDialog& d = shown[fileDialogs_];
      say("  the open-file dialog \"" + utf8(d.title) + "\" came");
      for (size_t i = 0; i < d.fileTypes.size(); ++i)
        say(std::string("      ") + (static_cast<int>(i) == d.selectedType ? "* " : "  ") +
            utf8(d.fileTypes[i]));
    }
    const auto& messages = dialogs_.messages();
    if (messages_ == messages.size()) say("  " + who + " said nothing");
    for (; messages_ < messages.size(); ++messages_)
      say("  " + who + " said, in a box titled \"" + utf8(messages[messages_].title) +
          "\": " + lines(utf8(messages[messages_].text)));
  }
  size_t newMessages() const { return dialogs_.messages().size() - messages_; }

 private:
  const wordhost::DialogDriver& dialogs_;
  size_t fileDialogs_ = 0;
  size_t messages_ = 0;
};

// The add-in's group on Word's ribbon, as the ribbon read it from the add-in's customUI.
void showRibbon(const wordhost::Ribbon* ribbon) {
  expect(ribbon && ribbon->customised() && ribbon->problems().empty(),
         "Word read the add-in's ribbon without a problem");
  if (!ribbon) return;
  for (const auto& g : ribbon->groups()) {
    say("  Ribbon > " + utf8(g.tab) + " > " + utf8(g.label) + " (after " + utf8(g.insertAfterMso) +
        ")");
    for (const auto& b : g.buttons)
      say("      [" + utf8(b.label) + "]  " + std::to_string(b.picture.cx) + "x" +
          std::to_string(b.picture.cy) + " icon, key tip " + utf8(b.keytip) + ": " +
          utf8(b.supertip));
  }
}

void showMenu(simword::Word& word) {
  const auto popup = word.menuBar().find(text::literals::kPopupCaption);
  if (!popup) return;
  say("  Menu Bar > " + utf8(popup->caption));
  for (const auto& b : popup->controls) say("      " + utf8(b->caption));
}

void showSignatures(const simword::Document& doc) {
  for (const auto& s : doc.signatures)
    say("  signature by " + utf8(s.signer.asText()) + ", issued by " + utf8(s.issuer.asText()) +
        (doc.isValid(s) ? ": valid" : ": no longer valid"));
}

int demo() {
  // What the prefix holds before the story: it holds the same after it.
  const std::wstring settingsFile = systemFolder() + L"\\settings.ini";
  const std::optional<std::string> settingsBefore = contentOf(settingsFile);
  DeleteFileW(settingsFile.c_str());
  auto showSettings = [&] {
    const auto content = contentOf(settingsFile);
    say(content ? "  settings.ini:" : "  settings.ini: (none)");
    std::istringstream lines(content.value_or(""));
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      say("      " + line);
    }
  };

  say("== Registering the libraries (regsvr32), installing the pictures");
  expect(run(L"regsvr32.exe /s \"" + besideMe(L"Penvane.dll") + L"\""), "Penvane.dll registered");
  expect(run(L"regsvr32.exe /s \"" + besideMe(L"Sealbrook.ocx") + L"\""),
         "Sealbrook.ocx registered");
  expect(wordhost::installPictures(), "the status pictures are in the Windows folder");
  wchar_t profile[MAX_PATH] = {};
  GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
  const std::wstring imageFolder = std::wstring(profile) + L"\\Signature";
  const std::wstring image = imageFolder + L"\\ck copy.gif";
  CreateDirectoryW(imageFolder.c_str(), nullptr);
  expect(CopyFileW(besideMe(L"assets\\ck copy.gif").c_str(), image.c_str(), FALSE),
         "the user's signature image is " + utf8(image));

  // Today's Word (2016 to Microsoft 365), as the users run it.
  wordhost::RunningWord running(simword::Profile::Word2016);
  simword::Word& word = running.word();
  wordhost::OleContainer container(running);
  wordhost::DialogDriver dialogs;
  Screen screen(dialogs);
  Pictures pictures;
  const auto popup = [&] { return word.menuBar().find(text::literals::kPopupCaption); };
  // The user opens the popup "Chữ ký số" on the active document's menu bar and chooses the
  // button; with a name, the open menu's picture is taken first.
  auto click = [&](size_t button, const std::wstring& picture = {}) {
    const auto menu = popup();
    const bool there = menu && menu->controls.size() == 4;
    say("== The user clicks \"" + (there ? utf8(menu->controls[button]->caption) : "?") +
        "\" in the menu \"" + utf8(text::literals::kPopupCaption) + "\"");
    if (!there) return;
    simword::Document& document = *word.activeDocument();
    const HWND window = container.documentWindow(document);
    if (!picture.empty())
      dialogs.lookAtNext(
          [&pictures, picture, window](HWND menu) { pictures.takeWith(picture, window, menu); });
    dialogs.chooseMenuItem(static_cast<int>(button));
    wordhost::MenuBar& bar = container.menuBar(document);
    expect(bar.open(text::literals::kPopupCaption), "the menu bar shows the popup");
    dialogs.lookAtNext(nullptr);  // a look that did not come goes with this click
    wordhost::runQueued();
    expect(bar.lastClick() && bar.lastClick()->delivered == 1, "the click reached the add-in");
  };
  // The user presses the add-in's button on the ribbon of the active document's window.
  auto press = [&](const wchar_t* id) {
    wordhost::RibbonStrip* strip = container.ribbonStrip(*word.activeDocument());
    const HWND button = strip ? strip->button(id) : nullptr;
    wchar_t caption[128] = L"?";
    if (button) GetWindowTextW(button, caption, 128);
    say("== The user presses \"" + utf8(std::wstring(caption)) + "\" on the ribbon");
    if (!button) return;
    SendMessageW(button, BM_CLICK, 0, 0);
    expect(strip->lastPress() == S_OK, "the ribbon called the add-in's onAction");
  };

  say("== Word starts with the add-in on its list (LoadBehavior 3)");
  wordhost::AddinHost::listAddin(L"Penvane.Connect", 3);
  wordhost::AddinHost host(running.application());
  // The ribbon's status of the active document, as the ribbon shows it once Word is idle again.
  auto status = [&] {
    wordhost::runQueued();
    container.refreshBars();
    const wordhost::Ribbon* ribbon = host.ribbon(L"Penvane.Connect");
    const wordhost::Ribbon::Button* control = ribbon ? ribbon->find(L"PenvaneStatus") : nullptr;
    return control ? control->label : std::wstring(L"?");
  };
  auto expectStatus = [&](std::u16string_view label) {
    const std::wstring shown = status();
    expect(shown == com::wide(label), "the ribbon's status reads \"" + utf8(shown) + "\"");
  };
  dialogs.cancelFile();  // the path form's dialog comes once Word has started: the user cancels it
  expect(SUCCEEDED(host.startUp()), "the add-in connected and completed start-up");
  expect(!running.registered(),
         "Word is not in the running-object table yet (its window has not lost the focus)");
  screen.tell();
  say("  (the user cancels it: without settings.ini the path in memory is \"No\")");
  showMenu(word);
  expect(popup() && popup()->controls.size() == 4, "the popup holds its four buttons");
  showRibbon(host.ribbon(L"Penvane.Connect"));
  container.showRibbon(&host);
  const HWND form = FindWindowW(penvane::win::kFormClass, nullptr);
  expect(form && !IsWindowVisible(form), "the path form is loaded and hidden");

  say("== The user opens a document");
  auto& doc = word.open(u"H\u1EE3p \u0111\u1ED3ng.docx");
  doc.edit(u"H\u1EE3p \u0111\u1ED3ng mua b\u00E1n.");
  const HWND docWindow = container.documentWindow(doc);
  expectStatus(text::literals::kStatusNotSigned);
  click(3);
  expect(screen.newMessages() == 1, "no image yet: the add-in says so");
  screen.tell();
  expect(doc.inlineShapes.empty() && doc.signatures.empty(), "nothing is inserted or signed");

  click(0);
  say("  (the form was loaded at start-up: no dialog this time, the path in memory is saved)");
  screen.tell();
  showSettings();

  dialogs.pickFile(image);
  click(0);
  screen.tell();
  // A GIF is not among the first type's patterns: the user types the image's path.
  say("  (the user types " + utf8(image) + " and opens it)");
  showSettings();
  expect(contentOf(settingsFile).value_or("").find("ChildPath=" + utf8(image)) != std::string::npos,
         "settings.ini holds the picked image");

  click(3, L"menu");
  screen.tell();
  expect(doc.inlineShapes.size() == 1 && wordhost::OleContainer::embedded(doc, 0).window(),
         "the signature block is inline at the cursor, active in the document's window");
  expect(doc.signatures.size() == 1 && doc.signatures[0].committed, "Word signed the document");
  expect(!doc.designMode, "the add-in took Word out of the design mode of the insertion");
  showSignatures(doc);
  expectStatus(text::literals::kStatusValid);
  pump(1500);
  expect(!doc.designMode, "a second later the block's Timer2 finds Word out of design mode");
  wordhost::fireTimers(1);
  say("  (the block's status refresh, Timer1, comes: the first signature is valid)");
  pictures.take(L"valid", docWindow);

  say("== The user clicks the signature block and chooses \"" + shown(text::literals::kVerify) +
      "\"");
  auto& block = wordhost::OleContainer::embedded(doc, 0);
  const HWND picture1 = GetWindow(block.window(), GW_CHILD);
  // The pointer is over the block, where its menu opens; the move it made is over before the
  // click, so that the menu sees only the keys.
  POINT at{40, 40};
  ClientToScreen(picture1, &at);
  SetCursorPos(at.x, at.y);
  wordhost::runQueued();
  dialogs.lookAtNext([&](HWND menu) {
    pictures.takeWith(L"block-menu", docWindow, menu);
    dialogs.lookAtNext([&](HWND box) { pictures.takeWith(L"verify", docWindow, box); });
  });
  dialogs.chooseMenuItem(1);
  SendMessageW(picture1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
  SendMessageW(picture1, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
  expect(screen.newMessages() == 1 &&
             dialogs.messages().back().title ==
                 com::wide(text::TCVN3ToUnicode(text::widenBytes(text::literals::kValidTitle))) &&
             dialogs.messages().back().icon == wordhost::Icon::Information,
         "one box for the one signature, which is valid");
  screen.tell("the block");

  say("== The user opens a second document");
  auto& draft = word.open(u"B\u1EA3n nh\u00E1p.docx");
  const HWND draftWindow = container.documentWindow(draft);
  if (const auto* strip = container.ribbonStrip(draft))
    pictures.take(L"ribbon", draftWindow, strip->hwnd());
  press(L"PenvaneInsert");
  screen.tell();
  expect(draft.inlineShapes.size() == 1, "the signature block is inline; nothing is signed");
  expect(draft.designMode, "Word is in forms design mode after the insertion");
  pump(1500);
  expect(!draft.designMode, "a second later the block's Timer2 took Word out of design mode");
  pictures.take(L"inserted", draftWindow);
  container.close(draft);

  say("== Back in the first document, the user clicks the signature block: its sign command");
  word.activate(doc);
  dialogs.chooseMenuItem(0);
  SendMessageW(picture1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(picture1, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  expect(doc.signatures.size() == 2 && doc.signatures[1].committed,
         "Word signed the document again");
  expect(doc.findProperty(u"Sign") == nullptr,
         "the signed document's properties were left alone (a change would spoil the first "
         "signature)");
  expect(doc.isValid(doc.signatures[0]) && doc.isValid(doc.signatures[1]),
         "both signatures are valid");
  showSignatures(doc);

  say("== The user presses \"" + utf8(text::literals::kVerifyCaption) + "\" on the ribbon");
  press(L"PenvaneVerify");
  if (const HWND list = FindWindowW(penvane::win::kSignatureWindowClass, nullptr)) {
    expect(GetWindow(list, GW_OWNER) == docWindow, "one window lists the signatures, over Word's");
    SetWindowPos(list, nullptr, 60, 330, 720, 200, SWP_NOZORDER);
    wordhost::settle(docWindow);
    wordhost::settle(list);
    pictures.takeWith(L"signatures", docWindow, list);
    SendMessageW(list, WM_CLOSE, 0, 0);
  } else {
    expect(false, "one window lists the signatures");
  }

  say("== Someone edits the signed document");
  doc.edit(doc.content() + u" (s\u1EEDa)");
  expect(!doc.isValid(doc.signatures[0]), "the signatures are no longer valid");
  showSignatures(doc);
  wordhost::fireTimers(1);
  say("  (the block's status refresh, Timer1, comes: the first signature is not valid)");
  for (const HWND timer :
       wordhost::windowsOfThisProcess(HWND_MESSAGE, penvane::win::kStatusTimerClass))
    SendMessageW(timer, WM_TIMER, 1, 0);
  say("  (the ribbon's look at the active document, every 5 s while Word is idle, comes)");
  expectStatus(text::literals::kStatusInvalid);
  pictures.take(L"invalid", docWindow);

  say("== The document is saved and opened again");
  const auto saved = container.save(doc);
  container.close(doc);
  auto& reopened = container.reopen(saved);
  expect(reopened.inlineShapes.size() == 1, "the signature block is back, showing no stale status");

  say("== An administrator turns ActiveX controls off (Trust Center: \"Disable all controls "
      "without notification\", the default of Office 2024 and Microsoft 365)");
  word.setActiveXControls(false);
  auto& memo = word.open(u"C\u00F4ng v\u0103n.docx");
  const HWND memoWindow = container.documentWindow(memo);
  dialogs.lookAtNext([&](HWND box) { pictures.takeWith(L"activex-off", memoWindow, box); });
  press(L"PenvaneInsertAndSign");
  dialogs.lookAtNext(nullptr);
  expect(screen.newMessages() == 1,
         "Word refused the block: the add-in says why, and what it did instead");
  screen.tell();
  expect(memo.inlineShapes.size() == 1 && !memo.inlineShapes[0].pictureFile.empty(),
         "the signature picture stands in the block's place");
  expect(memo.signatures.size() == 1 && memo.signatures[0].committed, "Word signed the document");
  expectStatus(text::literals::kStatusValid);
  pictures.take(L"picture-instead", memoWindow);
  container.close(memo);
  say("  (the reopened contract is saved: Word keeps the block's picture, made as the block shows "
      "it after its refresh)");
  word.activate(reopened);
  wordhost::fireTimers(1);
  const auto kept = container.save(reopened);
  container.close(reopened);
  auto& keptCopy = container.reopen(kept);
  expect(keptCopy.inlineShapes.size() == 1 &&
             dynamic_cast<const wordhost::CachedControl*>(keptCopy.inlineShapes[0].control.get()),
         "the signed document opens with no control: Word shows the picture it kept of the block, "
         "the signature without a status");
  pictures.take(L"kept", container.documentWindow(keptCopy));
  word.setActiveXControls(true);

  say("== Word exits");
  expect(SUCCEEDED(host.shutDown()), "the add-in shut down");
  expect(popup() && popup()->controls.empty(),
         "the buttons are gone; the empty popup stays for the next start");
  container.close(keptCopy);
  wordhost::AddinHost::unlistAddin(L"Penvane.Connect");
  expect(screen.newMessages() == 0, "the add-in said nothing more");

  say("== Unregistering the libraries, removing the pictures, the image and settings.ini");
  expect(run(L"regsvr32.exe /s /u \"" + besideMe(L"Penvane.dll") + L"\""),
         "Penvane.dll unregistered");
  expect(run(L"regsvr32.exe /s /u \"" + besideMe(L"Sealbrook.ocx") + L"\""),
         "Sealbrook.ocx unregistered");
  wordhost::removePictures();
  DeleteFileW(image.c_str());
  RemoveDirectoryW(imageFolder.c_str());
  DeleteFileW(settingsFile.c_str());
  if (settingsBefore) std::ofstream(settingsFile.c_str(), std::ios::binary) << *settingsBefore;
  expect(contentOf(settingsFile) == settingsBefore, "settings.ini is as it was before");
  return g_failures;
}

}  // namespace

int main() {
  return wordhost::runSteps(demo);
}
