// Word on a machine where the package is installed: nothing is registered here. The add-in is
// on Word's list because the package put it in HKLM, Word loads it from the installed file, the
// user sets up the signature image and inserts and signs through the add-in's button, Word
// creates the control from the installed OCX, and the control's status refresh shows whether the
// document's signature holds, with the pictures the package put in the Windows folder.
//   installed_word FOLDER    (the folder that holds the installed x64 libraries)
// Exits non-zero when something does not happen as it should.
#include <windows.h>

#include <ole2.h>

#include <cstdio>
#include <string>

#include "wordhost/addin_host.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "base/unicode.h"
#include "text/literals.h"

namespace {

int g_failures = 0;

void expect(bool ok, const std::string& what) {
  std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

std::string narrow(const std::wstring& s) {
  return text::toUtf8(std::u16string(s.begin(), s.end()));
}

std::wstring windowsFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

std::wstring systemFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

// The file a loaded module came from; empty when the module is not loaded.
std::wstring loadedFrom(const wchar_t* module) {
  const HMODULE handle = GetModuleHandleW(module);
  if (!handle) return {};
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, GetModuleFileNameW(handle, path, MAX_PATH));
}

bool samePath(const std::wstring& a, const std::wstring& b) {
  return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// The colour at the right edge of the control's status frame, as the control draws itself into
// a 240 x 136 block of 32-bit pixels.
COLORREF statusColour(IOleObject* control) {
  com::ComPtr<IViewObject> view;
  if (FAILED(control->QueryInterface(IID_IViewObject, view.putVoid()))) return CLR_INVALID;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 240, -136, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP block = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(dc, block);
  const RECTL bounds{0, 0, 240, 136};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  GdiFlush();
  const DWORD pixel = static_cast<const DWORD*>(bits)[100 * 240 + 228];  // 0x00RRGGBB
  SelectObject(dc, previous);
  DeleteObject(block);
  DeleteDC(dc);
  return RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
}

int scenario(const std::wstring& folder) {
  const std::wstring image = windowsFile(L"ck copy.gif");
  expect(GetFileAttributesW(image.c_str()) != INVALID_FILE_ATTRIBUTES,
         "the package put the status pictures in the Windows folder");

  wordhost::RunningWord running;
  simword::Word& word = running.word();
  wordhost::OleContainer container(word);
  wordhost::DialogDriver dialogs;
  dialogs.pickFile(image);  // the path form's dialog at start-up: the user's signature image

  std::printf("== Word starts: the add-in is on the machine's list\n");
  wordhost::AddinHost host(running.application());
  expect(SUCCEEDED(host.startUp()) && host.isLoaded(L"Penvane.Connect"),
         "Penvane.Connect connected and completed start-up");
  const std::wstring penvane = loadedFrom(L"Penvane.dll");
  expect(samePath(penvane, folder + L"\\Penvane.dll"), "loaded from " + narrow(penvane));
  const auto popup = word.menuBar().find(text::literals::kPopupCaption);
  expect(popup && popup->controls.size() == 4, "the popup holds its four buttons");
  if (!popup || popup->controls.size() != 4) return g_failures;

  std::printf("== The user keeps the signature image (set-up-path button)\n");
  word.click(popup->controls[0]);
  wchar_t saved[MAX_PATH] = {};
  GetPrivateProfileStringW(L"Path", L"ChildPath", L"", saved, MAX_PATH,
                           systemFile(L"settings.ini").c_str());
  expect(samePath(saved, image), "settings.ini holds the image path");

  std::printf("== Insert and sign, through the add-in's button\n");
  auto& doc = word.open(u"Contract.docx");
  doc.edit(u"H\u1EE3p \u0111\u1ED3ng mua b\u00E1n.");
  dialogs.clear();
  expect(word.click(popup->controls[3]).delivered == 1, "the click reached the add-in");
  for (const auto& shown : dialogs.messages())
    std::printf("  the add-in said: %s (%s)\n", narrow(shown.text).c_str(),
                narrow(shown.title).c_str());
  expect(doc.inlineShapes.size() == 1, "the signature block is in the document");
  expect(doc.signatures.size() == 1 && doc.signatures[0].committed, "Word signed the document");
  const std::wstring sealbrook = loadedFrom(L"Sealbrook.ocx");
  expect(samePath(sealbrook, folder + L"\\Sealbrook.ocx"),
         "the control came from " + narrow(sealbrook));
  if (doc.inlineShapes.size() != 1) return g_failures;

  std::printf("== The control's status refresh\n");
  IOleObject* block = wordhost::OleContainer::embedded(doc, 0).object();
  wordhost::fireTimers(1);
  expect(statusColour(block) == RGB(0, 128, 0), "the block shows the valid status (Pass.gif)");
  doc.edit(doc.content() + u" (s\u1EEDa)");
  wordhost::fireTimers(1);
  expect(statusColour(block) == RGB(176, 0, 0),
         "after an edit it shows it no longer holds (False.gif)");

  std::printf("== Word exits\n");
  expect(SUCCEEDED(host.shutDown()), "the add-in shut down");
  word.close(doc);
  return g_failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: installed_word FOLDER\n");
    return 2;
  }
  const std::u16string folder = text::fromUtf8(argv[1]);
  return wordhost::runSteps([&] { return scenario(std::wstring(folder.begin(), folder.end())); });
}
