// Sealbrook.ocx in the simulated Word under Wine: registered by regsvr32, inserted through
// AddOLEControl into a document window, its timer, popup and sign command, what it shows on
// the screen and in a cached presentation, saving and reopening, and that nothing leaks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/registry.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/process.h"
#include "wordhost/resources.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "control_in_word.h"
#include "text/literals.h"
#include "text/tcvn3.h"
#include "wine_test.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
namespace literals = text::literals;
using winetest::ControlInEachWord;
using winetest::ControlInWord;
using winetest::ocx;
using winetest::Rendering;

const wchar_t kClsid[] = L"{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}";
const wchar_t kLibid[] = L"{50E56C7A-B8A2-4534-B258-F0D288084B3C}";
const wchar_t kProgId[] = L"Sealbrook.SignData";

std::wstring registration() {
  return winetest::dumpKey(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kClsid) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, kProgId) +
         winetest::dumpKey(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibid) +
         winetest::dumpKey(HKEY_CLASSES_ROOT,
                           L"Interface\\{DEA3D560-A645-43D5-BDF6-A07383F18A83}") +
         winetest::dumpKey(HKEY_CLASSES_ROOT, L"Interface\\{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}");
}

TEST(SealbrookLibrary, Regsvr32RegistersTheControlClassAndUnregisteringRestoresTheRegistry) {
  winetest::regsvr32(ocx(), /*unregister=*/true);  // whatever an earlier run left
  const std::wstring before = registration();
  ASSERT_EQ(winetest::regsvr32(ocx()), 0);
  const std::wstring clsid = std::wstring(L"CLSID\\") + kClsid;
  const std::wstring r = registration();
  EXPECT_THAT(r, HasSubstr(clsid + L"\\InprocServer32] =" + ocx()));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\InprocServer32] ThreadingModel=Apartment"));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\ProgID] =Sealbrook.SignData"));
  EXPECT_THAT(r, HasSubstr(L"[" + clsid + L"\\Control]"));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\MiscStatus\\1] =131473"));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\ToolboxBitmap32] =" + ocx() + L", 1"));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\TypeLib] =" + kLibid));
  EXPECT_THAT(r, HasSubstr(clsid + L"\\Version] =100.0"));
  EXPECT_THAT(r, HasSubstr(L"Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}]"));
  EXPECT_THAT(r, HasSubstr(L"\\64.0\\FLAGS] =2"));  // version 100.0, keyed in hexadecimal
  // Found through the registry as the platform finds it.
  GUID libid;
  ASSERT_EQ(CLSIDFromString(kLibid, &libid), S_OK);
  com::ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadRegTypeLib(libid, 100, 0, 0, library.put()), S_OK);
  com::Bstr path;
  EXPECT_EQ(QueryPathOfRegTypeLib(libid, 100, 0, 0, path.put()), S_OK);
  EXPECT_EQ(com::wide(path.str()), ocx());
  EXPECT_THAT(r, HasSubstr(L"{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}\\ProxyStubClsid32] "
                           L"={00020420-0000-0000-C000-000000000046}"));
  ASSERT_EQ(winetest::regsvr32(ocx(), /*unregister=*/true), 0);
  EXPECT_EQ(registration(), before);
}

TEST(SealbrookLibrary, VersionResourceAndToolboxBitmap) {
  const std::wstring file = ocx();
  DWORD ignored = 0;
  std::vector<unsigned char> info(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  void* value = nullptr;
  EXPECT_TRUE(
      VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister", &value, &size));
  const auto text = [&](const wchar_t* name) {
    wchar_t* found = nullptr;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&found), &size)
               ? std::wstring(found)
               : std::wstring(L"(none)");
  };
  EXPECT_EQ(text(L"FileVersion"), L"1.00");
  EXPECT_EQ(text(L"ProductVersion"), L"1.00");
  // Who made it, as Explorer and Office show it: the text in the resource is UTF-8 made UTF-16.
  EXPECT_EQ(text(L"CompanyName"), L"Ch\u1EEF k\u00FD s\u1ED1");
  EXPECT_EQ(text(L"ProductName"), L"Ch\u1EEF k\u00FD s\u1ED1");

  const HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto bitmap =
      static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 16);
  EXPECT_EQ(bm.bmHeight, 15);
  DeleteObject(bitmap);
  FreeLibrary(module);
}

TEST_P(ControlInEachWord, AddOleControlEmbedsTheControlInPlaceAtItsFirstSize) {
  word().open(u"Report");
  auto& control = insert();
  EXPECT_THAT(control.site().calls, ElementsAre("CanInPlaceActivate", "OnInPlaceActivate",
                                                "GetWindow", "GetWindowContext"));
  const HWND window = control.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT r;
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, 240);  // 3600 x 2040 twips at 96 dots per inch
  EXPECT_EQ(r.bottom, 136);
  GetWindowRect(picture1(control), &r);
  EXPECT_EQ(r.right - r.left, 239);  // all but the 15-twip strip
  EXPECT_EQ(r.bottom - r.top, 135);
  SIZEL extent{};
  control.object()->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, 6350);
  EXPECT_EQ(extent.cy, 3598);
  EXPECT_TRUE(Rendering(control.object(), false).isEmptyBlock());
}

TEST_P(ControlInEachWord, Timer2LeavesDesignModeOnceAfterInsertion) {
  auto& doc = word().open();
  insert();
  EXPECT_TRUE(doc.designMode);  // Word enters forms design mode on insertion
  wordhost::runQueued();
  EXPECT_TRUE(doc.designMode);  // only Timer2's tick leaves it
  wordhost::fireTimers(2);
  EXPECT_FALSE(doc.designMode);
  doc.designMode = true;  // later, the user enters design mode again: Timer2 stopped at its tick
  wordhost::fireTimers(2);
  EXPECT_TRUE(doc.designMode);
  EXPECT_EQ(designModeReads(), 1u);
}

TEST_P(ControlInEachWord, Timer2TogglesNothingOutsideDesignMode) {
  auto& doc = word().open();
  insert();
  doc.designMode = false;
  wordhost::fireTimers(2);
  EXPECT_FALSE(doc.designMode);
  EXPECT_EQ(designModeReads(), 1u);
  EXPECT_EQ(countLines("Document.ToggleFormsDesign()"), 0u);
}

TEST_P(ControlInEachWord, AClickOnTheSignaturePictureOpensThePopupAndElsewhereOnPicture1DoesNot) {
  word().open();
  auto& control = insert();
  click(picture1(control), 5, 5);
  ASSERT_EQ(dialogs_.menus().size(), 1u);
  EXPECT_THAT(dialogs_.menus()[0],
              ElementsAre(winetest::shown(literals::kSign), winetest::shown(literals::kVerify)));
  click(picture1(control), 237, 130);  // inside Picture1, outside Image1's 236 x 118
  EXPECT_EQ(dialogs_.menus().size(), 1u);
  SendMessageW(control.window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(239, 135));  // the strip
  EXPECT_EQ(dialogs_.menus().size(), 2u);
}

TEST_P(ControlInEachWord, SignWritesThePropertyShowsThePicturesAndSigns) {
  auto& doc = word().open();
  auto& control = insert();
  wordhost::fireTimers(2);  // Timer2 has left design mode
  sign(control);
  ASSERT_EQ(doc.properties.size(), 1u);
  EXPECT_EQ(doc.properties[0].value, automation::Variant(u"C:\\WINDOWS\\ck copy.gif"));
  ASSERT_EQ(doc.signatures.size(), 1u);
  EXPECT_TRUE(doc.signatures[0].committed);
  const Rendering shown(control.object(), false);
  EXPECT_TRUE(shown.showsSignature());
  EXPECT_TRUE(shown.showsValid());
  // The clickable area is now the signature picture's own 160 x 60.
  click(picture1(control), 200, 100);
  EXPECT_EQ(dialogs_.menus().size(), 1u);

  // Signing again replaces the property and adds a further signature.
  sign(control);
  EXPECT_EQ(doc.properties.size(), 1u);
  EXPECT_EQ(doc.signatures.size(), 2u);
}

TEST_P(ControlInEachWord, AMissingPictureOrARefusedSignatureLeavesTheBlockAsItWas) {
  auto& doc = word().open();
  auto& control = insert();
  wordhost::removePicture(L"Pass.gif");
  sign(control);
  EXPECT_EQ(doc.properties.size(), 1u);
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_TRUE(Rendering(control.object(), false).showsSignature());  // shown before the end
  ASSERT_TRUE(wordhost::installPictures());

  auto& fresh = insert();
  word().signing().willCancel();
  sign(fresh);
  EXPECT_TRUE(doc.signatures.empty());
  EXPECT_TRUE(Rendering(fresh.object(), false).isEmptyBlock());
}

// What the control gives to be kept, printed or exported (PDF) is the block with the signature
// picture and never a status: "valid" on paper would be a claim forever. On the screen the
// status shows as well.
TEST_P(ControlInEachWord, PrintedExportedOrKeptTheBlockShowsTheSignatureAndNoStatus) {
  word().open();
  auto& control = insert();
  sign(control);
  ASSERT_TRUE(Rendering(control.object(), false).showsValid());
  // Drawn into a metafile, as for a printer or a PDF export.
  const Rendering printed(control.object(), /*metafile=*/true);
  EXPECT_TRUE(printed.showsSignature());
  EXPECT_FALSE(printed.showsValid() || printed.showsInvalid());
  EXPECT_EQ(printed.at(228, 100), GetSysColor(COLOR_WINDOW));
  // The same through IDataObject, in both metafile formats, at the control's extent.
  com::ComPtr<IDataObject> data;
  ASSERT_EQ(control.object()->QueryInterface(IID_IDataObject, data.putVoid()), S_OK);
  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  FORMATETC picture{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
  FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(data->QueryGetData(&enhanced), S_OK);
  EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&enhanced, &medium), S_OK);
  {
    const Rendering kept(medium.hEnhMetaFile);
    EXPECT_TRUE(kept.showsSignature());
    EXPECT_FALSE(kept.showsValid() || kept.showsInvalid());
  }
  ReleaseStgMedium(&medium);
  ASSERT_EQ(data->GetData(&picture, &medium), S_OK);
  const auto* mfp = static_cast<const METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
  EXPECT_EQ(mfp->mm, MM_ANISOTROPIC);
  EXPECT_EQ(mfp->xExt, 6350);
  EXPECT_EQ(mfp->yExt, 3598);
  GlobalUnlock(medium.hMetaFilePict);
  ReleaseStgMedium(&medium);

  com::ComPtr<IPersistStorage> persist;
  ASSERT_EQ(control.object()->QueryInterface(IID_IPersistStorage, persist.putVoid()), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  EXPECT_THAT(control.site().calls, testing::Not(testing::Contains("SaveObject")));
}

// With ActiveX controls off, a document that holds the block opens without it: no control is
// created, and Word shows what it kept, the signature without a status.
TEST_P(ControlInEachWord, WithActiveXOffASavedBlockOpensAsItsKeptPresentation) {
  auto& doc = word().open(u"Contract");
  sign(insert());
  const auto saved = container_.save(doc);
  word().close(doc);
  word().setActiveXControls(false);
  const long sites = wordhost::ControlSite::alive();
  auto& reopened = container_.reopen(saved);
  ASSERT_EQ(reopened.inlineShapes.size(), 1u);
  EXPECT_EQ(wordhost::ControlSite::alive(), sites);
  const auto* cached =
      dynamic_cast<const wordhost::CachedControl*>(reopened.inlineShapes[0].control.get());
  ASSERT_NE(cached, nullptr);
  const HENHMETAFILE kept = SetEnhMetaFileBits(static_cast<UINT>(cached->presentation.size()),
                                               cached->presentation.data());
  {
    const Rendering shown(kept);
    EXPECT_TRUE(shown.showsSignature());
    EXPECT_FALSE(shown.showsValid() || shown.showsInvalid());
  }
  DeleteEnhMetaFile(kept);
  EXPECT_EQ(container_.save(reopened).controls.at(0).storage, saved.controls.at(0).storage);
}

TEST_P(ControlInEachWord, ASavedDocumentReopensWithTheControlAndNoPictures) {
  auto& doc = word().open(u"Contract");
  auto& control = insert();
  SIZEL larger{8000, 4000};
  control.object()->SetExtent(DVASPECT_CONTENT, &larger);
  wordhost::fireTimers(2);  // this instance's Timer2 has ticked and stopped
  sign(control);
  const auto saved = container_.save(doc);
  word().close(doc);

  auto& reopened = container_.reopen(saved);
  ASSERT_EQ(reopened.inlineShapes.size(), 1u);
  auto& again = wordhost::OleContainer::embedded(reopened, 0);
  SIZEL extent{};
  again.object()->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, 8000);
  EXPECT_EQ(extent.cy, 4000);
  EXPECT_TRUE(Rendering(again.object(), false).isEmptyBlock());
  // The new instance has a Timer2 of its own, running: opened in design mode, it leaves it
  // once more.
  reopened.designMode = true;
  wordhost::fireTimers(2);
  EXPECT_FALSE(reopened.designMode);
}

TEST_F(ControlInWord, AnInstanceTheHostNeverActivatesStillLeavesDesignModeOnce) {
  auto& doc = word().open();
  doc.designMode = true;
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  com::ComPtr<IOleObject> object;
  ASSERT_EQ(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.putVoid()),
      S_OK);
  com::ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(object->QueryInterface(IID_IPersistStreamInit, persist.putVoid()), S_OK);
  ASSERT_EQ(persist->InitNew(), S_OK);
  wordhost::fireTimers(2);
  EXPECT_FALSE(doc.designMode);
  object->Close(OLECLOSE_NOSAVE);
}

TEST_F(ControlInWord, DataThatIsNotTheControlsOwnLoadsAsANewControl) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  com::ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit,
                             persist.putVoid()),
            S_OK);
  com::ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  const char foreign[] = "VB5!\x01\x02 some other control's properties";
  stream->Write(foreign, sizeof foreign, nullptr);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(persist->Load(stream.get()), S_OK);
  com::ComPtr<IOleObject> object;
  ASSERT_EQ(persist->QueryInterface(IID_IOleObject, object.putVoid()), S_OK);
  SIZEL extent{};
  object->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, 6350);  // the size of a new control
  object->Close(OLECLOSE_NOSAVE);
}

TEST_F(ControlInWord, CloseReleasesTheSiteAndEverythingElse) {
  auto& doc = word().open();
  com::ComPtr<IOleObject> kept(insert().object());
  const long sites = wordhost::ControlSite::alive();
  word().close(doc);  // Close, then the container lets go of its site
  EXPECT_EQ(wordhost::ControlSite::alive(), sites - 1);
  com::ComPtr<IOleClientSite> site;
  EXPECT_EQ(kept->GetClientSite(site.put()), S_OK);
  EXPECT_EQ(site.get(), nullptr);
}

TEST_F(ControlInWord, PictureReloadsAndInsertCloseCyclesLeaveNoObjectsBehind) {
  auto& doc = word().open();
  auto& control = insert();
  for (int i = 0; i < 3; ++i) sign(control);  // caches warm
  const long gdi = wordhost::gdiObjects(), user = wordhost::userObjects();
  const int64_t references = running_.outstandingReferences();
  for (int i = 0; i < 500; ++i) sign(control);  // two pictures loaded each time
  EXPECT_EQ(doc.signatures.size(), 503u);
  EXPECT_EQ(wordhost::gdiObjects(), gdi);
  EXPECT_EQ(wordhost::userObjects(), user);
  EXPECT_EQ(running_.outstandingReferences(), references);

  word().close(doc);
  auto& other = word().open();
  for (int i = 0; i < 3; ++i) insert();
  word().close(other);
  const long gdi2 = wordhost::gdiObjects(), user2 = wordhost::userObjects();
  for (int i = 0; i < 100; ++i) {
    auto& d = word().open();
    insert();
    word().close(d);
  }
  EXPECT_EQ(wordhost::gdiObjects(), gdi2);
  EXPECT_EQ(wordhost::userObjects(), user2);
}

INSTANTIATE_TEST_SUITE_P(Words, ControlInEachWord, winetest::eachWord(), winetest::profileName);

}  // namespace
