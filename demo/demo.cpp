// The main job: Penvane.dll and Sealbrook.ocx in the simulated Word, under Wine, from start-up
// to exit, told step by step. Exits non-zero when something does not happen as it should.
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/office.h"
#include "text/literals.h"
#include "text/unicode.h"
#include "win32/com/bstr.h"
#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"

namespace {

int g_failures = 0;

void say(const std::string& line) { std::printf("%s\n", line.c_str()); }

void expect(bool ok, const std::string& what) {
  std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

std::string utf8(std::u16string_view s) { return text::toUtf8(s); }

std::wstring besideMe(const wchar_t* file) { return wordhost::executableFolder() + file; }

bool run(const std::wstring& commandLine) { return wordhost::run(commandLine) == 0; }

using wordhost::pump;

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
  say("== Registering the libraries (regsvr32)");
  expect(run(L"regsvr32.exe /s \"" + besideMe(L"Penvane.dll") + L"\""), "Penvane.dll registered");
  expect(run(L"regsvr32.exe /s \"" + besideMe(L"Sealbrook.ocx") + L"\""), "Sealbrook.ocx registered");
  expect(wordhost::installPictures(), "the status pictures are in the Windows folder");

  wordhost::RunningWord running;
  simword::Word& word = running.word();
  wordhost::OleContainer container(word);
  wordhost::DialogDriver dialogs;

  say("== Word starts with the add-in on its list (LoadBehavior 3)");
  wordhost::AddinHost::listAddin(L"Penvane.Connect", 3);
  wordhost::AddinHost host(running.application());
  expect(SUCCEEDED(host.startUp()), "the add-in connected and completed start-up");
  showMenu(word);
  const auto popup = word.menuBar().find(text::literals::kPopupCaption);
  expect(popup && popup->controls.size() == 4, "the popup holds its four buttons");

  say("== The user opens a document and clicks \"" + utf8(text::literals::kInsertAndSignCaption) + "\"");
  auto& doc = word.open(u"H\u1EE3p \u0111\u1ED3ng.docx");
  doc.edit(u"H\u1EE3p \u0111\u1ED3ng mua b\u00E1n.");
  if (popup && popup->controls.size() == 4)
    expect(word.click(popup->controls[3]).delivered == 1, "the click reached the add-in");

  say("== The signature block goes in at the cursor (AddOLEControl, ClassType Sealbrook.SignData)");
  auto app = word.application();
  automation::call(automation::getObject(automation::getObject(app, "Selection"), "InlineShapes"),
                   "AddOLEControl", {automation::named("ClassType", u"Sealbrook.SignData")});
  expect(doc.inlineShapes.size() == 1, "the control is inline in the document");
  expect(doc.designMode, "Word is in forms design mode after the insertion");
  pump(1500);
  expect(!doc.designMode, "a second later the control took Word out of design mode");

  say("== The user clicks the signature block and chooses its sign command");
  auto& block = wordhost::OleContainer::embedded(doc, 0);
  dialogs.chooseMenuItem(0);
  const HWND picture1 = GetWindow(block.window(), GW_CHILD);
  SendMessageW(picture1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(picture1, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  expect(doc.signatures.size() == 1 && doc.signatures[0].committed, "Word signed the document");
  expect(doc.findProperty(u"Sign") != nullptr, "the document holds the property \"Sign\"");
  showSignatures(doc);

  say("== Someone edits the signed document");
  doc.edit(doc.content() + u" (s\u1EEDa)");
  expect(!doc.isValid(doc.signatures[0]), "the signature is no longer valid");
  showSignatures(doc);

  say("== The document is saved and opened again");
  const auto saved = container.save(doc);
  word.close(doc);
  auto& reopened = container.reopen(saved);
  expect(reopened.inlineShapes.size() == 1, "the signature block is back, showing no stale status");

  say("== Word exits");
  expect(SUCCEEDED(host.shutDown()), "the add-in shut down");
  expect(word.menuBar().find(text::literals::kPopupCaption)->controls.empty(),
         "the buttons are gone; the empty popup stays for the next start");
  word.close(reopened);
  wordhost::AddinHost::unlistAddin(L"Penvane.Connect");

  say("== Unregistering the libraries, removing the pictures");
  expect(run(L"regsvr32.exe /s /u \"" + besideMe(L"Penvane.dll") + L"\""), "Penvane.dll unregistered");
  expect(run(L"regsvr32.exe /s /u \"" + besideMe(L"Sealbrook.ocx") + L"\""), "Sealbrook.ocx unregistered");
  wordhost::removePictures();
  return g_failures;
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  int failures = 0;
  try {
    failures = demo();
  } catch (const std::exception& e) {
    std::printf("FAIL %s\n", e.what());
    failures = 1;
  }
  CoUninitialize();
  std::printf(failures ? "== %d step(s) did not go as they should\n" : "== Done: everything went as it should\n",
              failures);
  return failures ? 1 : 0;
}
