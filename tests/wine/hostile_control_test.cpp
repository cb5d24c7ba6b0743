// The control called by a hostile caller: without a site, with odd verbs, extents, aspects,
// formats and bounds, loaded from every kind of broken stream and storage, and released by its
// container while it activates. Each case answers with its documented HRESULT; nothing crashes,
// hangs or leaks.
#include "hostile.h"

namespace {

using namespace hostile;  // NOLINT(google-build-using-namespace)

// --- The control ---------------------------------------------------------------------------------

class HostileControl : public Hostile {
 protected:
  void SetUp() override {
    control_ = create<IOleObject>(kSignDataClass);
    ASSERT_TRUE(control_);
  }
  void TearDown() override {
    if (control_) control_->Close(OLECLOSE_NOSAVE);
    control_.reset();
    Hostile::TearDown();
  }

  template <class I>
  com::ComPtr<I> as() const {
    com::ComPtr<I> typed;
    EXPECT_EQ(control_.query(typed), S_OK);
    return typed;
  }
  SIZEL extent() const {
    SIZEL size{};
    EXPECT_EQ(control_->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    return size;
  }
  static bool sameSize(SIZEL a, SIZEL b) { return a.cx == b.cx && a.cy == b.cy; }

  static constexpr SIZEL kNewExtent{6350, 3598};  // 3600 x 2040 twips
  com::ComPtr<IOleObject> control_;
};

TEST_F(HostileControl, WithoutASiteEveryVerbAnswersAndNoWindowAppears) {
  ASSERT_EQ(as<IPersistStreamInit>()->InitNew(), S_OK);
  const long user = wordhost::userObjects();
  struct Case {
    LONG verb;
    HRESULT expected;
  };
  const Case cases[] = {
      {OLEIVERB_PRIMARY, E_UNEXPECTED},
      {OLEIVERB_SHOW, E_UNEXPECTED},
      {OLEIVERB_UIACTIVATE, E_UNEXPECTED},
      {OLEIVERB_INPLACEACTIVATE, E_UNEXPECTED},
      {OLEIVERB_HIDE, S_OK},
      {OLEIVERB_OPEN, E_NOTIMPL},
      {OLEIVERB_DISCARDUNDOSTATE, E_NOTIMPL},
      {OLEIVERB_PROPERTIES, E_NOTIMPL},
      {-8, E_NOTIMPL},
      {LONG_MIN, E_NOTIMPL},
      {1, E_UNEXPECTED},
      {LONG_MAX, E_UNEXPECTED},
  };
  for (const Case& c : cases) {
    RECT position{0, 0, 100, 100};
    MSG message{};
    EXPECT_EQ(control_->DoVerb(c.verb, &message, nullptr, 0, nullptr, &position), c.expected)
        << c.verb;
    EXPECT_EQ(control_->DoVerb(c.verb, nullptr, nullptr, -1, nullptr, nullptr), c.expected)
        << c.verb;
  }
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(as<IOleInPlaceObject>()->GetWindow(&window), E_FAIL);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(wordhost::userObjects(), user);

  com::ComPtr<IEnumOLEVERB> verbs;
  EXPECT_EQ(control_->EnumVerbs(nullptr), E_POINTER);
  EXPECT_THAT(control_->EnumVerbs(verbs.put()), AnyOf(Eq(S_OK), Eq(OLEOBJ_E_NOVERBS)));
}

TEST_F(HostileControl, OnlyExtentsAControlCanHaveAreTakenAndOnlyForItsContent) {
  EXPECT_TRUE(sameSize(extent(), kNewExtent));
  EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  EXPECT_EQ(control_->GetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  SIZEL size{1000, 1000};
  for (const DWORD aspect :
       {DWORD{DVASPECT_THUMBNAIL}, DWORD{DVASPECT_ICON}, DWORD{DVASPECT_DOCPRINT}, DWORD{0},
        DWORD{0xFFFFFFFF}, DWORD{DVASPECT_CONTENT | DVASPECT_ICON}}) {
    EXPECT_EQ(control_->SetExtent(aspect, &size), DV_E_DVASPECT) << aspect;
    EXPECT_EQ(control_->GetExtent(aspect, &size), DV_E_DVASPECT) << aspect;
  }
  const int32_t largest = sealbrook::record::kLargest;
  for (const SIZEL impossible :
       {SIZEL{0, 0}, SIZEL{0, 3598}, SIZEL{6350, 0}, SIZEL{-1, 3598}, SIZEL{6350, -1},
        SIZEL{LONG_MIN, LONG_MIN}, SIZEL{LONG_MAX, LONG_MAX}, SIZEL{largest + 1, 3598},
        SIZEL{6350, largest + 1}}) {
    SIZEL asked = impossible;
    EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &asked), E_INVALIDARG)
        << impossible.cx << " x " << impossible.cy;
    EXPECT_TRUE(sameSize(extent(), kNewExtent));
  }
  for (const SIZEL possible : {SIZEL{1, 1}, SIZEL{largest, largest}, SIZEL{8000, 4000}}) {
    SIZEL asked = possible;
    EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
    EXPECT_TRUE(sameSize(extent(), possible));
  }
  // The view's extent is the same, for the content as a whole only.
  const auto view = as<IViewObject2>();
  SIZEL seen{};
  EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &seen), S_OK);
  EXPECT_TRUE(sameSize(seen, SIZEL{8000, 4000}));
  for (const LONG index : {0L, 1L, -2L, LONG_MAX})
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, index, nullptr, &seen), DV_E_LINDEX) << index;
  EXPECT_EQ(view->GetExtent(DVASPECT_ICON, -1, nullptr, &seen), DV_E_DVASPECT);
}

class AdviseSink final : public com::Object<AdviseSink, IAdviseSink> {
 public:
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) noexcept override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) noexcept override {}
  void STDMETHODCALLTYPE OnRename(IMoniker*) noexcept override {}
  void STDMETHODCALLTYPE OnSave() noexcept override {}
  void STDMETHODCALLTYPE OnClose() noexcept override { ++closed; }
  int closed = 0;
};

TEST_F(HostileControl, EveryMemberWithoutASiteWithNullsAndBogusCookiesAnswersAsDocumented) {
  // Advise connections: bogus cookies, null sinks, and enumerations before any sink came.
  for (const DWORD bogus : {DWORD{0}, DWORD{1}, DWORD{0xDEADBEEF}}) {
    EXPECT_EQ(control_->Unadvise(bogus), OLE_E_NOCONNECTION) << bogus;
    EXPECT_EQ(as<IDataObject>()->DUnadvise(bogus), OLE_E_NOCONNECTION) << bogus;
  }
  com::ComPtr<IEnumSTATDATA> advised;
  HRESULT hr = control_->EnumAdvise(advised.put());
  EXPECT_TRUE(FAILED(hr) || advised) << hr;  // never success with nothing to enumerate
  hr = as<IDataObject>()->EnumDAdvise(advised.put());
  EXPECT_TRUE(FAILED(hr) || advised) << hr;
  const auto sink = AdviseSink::make();
  DWORD cookie = 0;
  EXPECT_TRUE(FAILED(control_->Advise(nullptr, &cookie)));
  EXPECT_TRUE(FAILED(control_->Advise(sink.get(), nullptr)));
  ASSERT_EQ(control_->Advise(sink.get(), &cookie), S_OK);
  EXPECT_EQ(control_->Unadvise(cookie + 1), OLE_E_NOCONNECTION);
  const auto data = as<IDataObject>();
  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  FORMATETC part{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, 0, TYMED_ENHMF};
  FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(data->DAdvise(&enhanced, 0, nullptr, &cookie), E_INVALIDARG);
  EXPECT_EQ(data->DAdvise(&enhanced, 0, sink.get(), nullptr), E_POINTER);
  EXPECT_EQ(data->DAdvise(nullptr, 0, sink.get(), &cookie), E_POINTER);
  EXPECT_EQ(data->DAdvise(&part, 0, sink.get(), &cookie), DV_E_LINDEX);
  EXPECT_EQ(data->DAdvise(&text, 0, sink.get(), &cookie), DV_E_FORMATETC);
  ASSERT_EQ(data->DAdvise(&enhanced, ADVF_PRIMEFIRST, sink.get(), &cookie), S_OK);
  ASSERT_EQ(data->EnumDAdvise(advised.put()), S_OK);
  STATDATA connected{};
  ULONG fetched = 0;
  ASSERT_EQ(advised->Next(1, &connected, &fetched), S_OK);
  EXPECT_EQ(connected.dwConnection, cookie);
  if (connected.pAdvSink) connected.pAdvSink->Release();
  advised.reset();
  EXPECT_EQ(data->DUnadvise(cookie), S_OK);
  for (const auto& iid : {IID_IPropertyNotifySink, kSignDataEvents}) {
    com::ComPtr<IConnectionPoint> point;
    ASSERT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(iid, point.put()), S_OK);
    EXPECT_EQ(point->Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(0xDEADBEEF), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(point->Advise(sink->identity(), nullptr), E_POINTER);
    EXPECT_EQ(point->GetConnectionInterface(nullptr), E_POINTER);
    EXPECT_EQ(point->GetConnectionPointContainer(nullptr), E_POINTER);
    EXPECT_EQ(point->EnumConnections(nullptr), E_POINTER);
  }
  EXPECT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink, nullptr),
            E_POINTER);

  // The rest of IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl.
  EXPECT_EQ(control_->SetHostNames(nullptr, nullptr), S_OK);
  EXPECT_EQ(control_->GetClientSite(nullptr), E_POINTER);
  EXPECT_EQ(control_->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, nullptr),
            E_NOTIMPL);
  EXPECT_EQ(control_->GetUserClassID(nullptr), E_POINTER);
  EXPECT_EQ(control_->GetUserType(USERCLASSTYPE_FULL, nullptr), E_POINTER);
  EXPECT_EQ(control_->GetMiscStatus(DVASPECT_CONTENT, nullptr), E_POINTER);
  EXPECT_EQ(control_->InitFromData(nullptr, TRUE, 0), E_NOTIMPL);
  EXPECT_EQ(control_->GetClipboardData(0, nullptr), E_NOTIMPL);
  const auto inPlace = as<IOleInPlaceObject>();
  EXPECT_EQ(inPlace->GetWindow(nullptr), E_POINTER);
  EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
  EXPECT_EQ(inPlace->SetObjectRects(nullptr, nullptr), E_POINTER);
  const RECT huge{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX};
  EXPECT_EQ(inPlace->SetObjectRects(&huge, nullptr), S_OK);
  const auto active = as<IOleInPlaceActiveObject>();
  EXPECT_EQ(active->TranslateAccelerator(nullptr), S_FALSE);
  EXPECT_EQ(active->ResizeBorder(nullptr, nullptr, TRUE), S_OK);
  const auto oleControl = as<IOleControl>();
  EXPECT_EQ(oleControl->GetControlInfo(nullptr), E_POINTER);
  EXPECT_EQ(oleControl->OnMnemonic(nullptr), E_NOTIMPL);
  EXPECT_EQ(oleControl->FreezeEvents(TRUE), S_OK);
  EXPECT_EQ(oleControl->FreezeEvents(FALSE), S_OK);
  const auto classInfo = as<IProvideClassInfo2>();
  EXPECT_EQ(classInfo->GetClassInfo(nullptr), E_POINTER);
  GUID guid{};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &guid), E_INVALIDARG);
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);
  const auto safety = as<IObjectSafety>();
  DWORD supported = 0, enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), E_NOINTERFACE);
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistStreamInit, nullptr, &enabled),
            E_POINTER);
  EXPECT_EQ(
      safety->SetInterfaceSafetyOptions(IID_IPersistStreamInit, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                        INTERFACESAFE_FOR_UNTRUSTED_CALLER),
      E_FAIL);

  // Closed twice, its site taken away twice: the sink hears of the close once.
  EXPECT_EQ(control_->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(control_->Close(OLECLOSE_PROMPTSAVE), S_OK);
  EXPECT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(sink->closed, 1);
  EXPECT_EQ(references(sink->identity()), 1u);
  com::ComPtr<IOleClientSite> site;
  EXPECT_EQ(control_->GetClientSite(site.put()), S_OK);
  EXPECT_EQ(site.get(), nullptr);
}

TEST_F(HostileControl, ItsConnectionPointsEnumerateAsTheEnumeratorContractHasIt) {
  com::ComPtr<IEnumConnectionPoints> points;
  EXPECT_EQ(as<IConnectionPointContainer>()->EnumConnectionPoints(nullptr), E_POINTER);
  ASSERT_EQ(as<IConnectionPointContainer>()->EnumConnectionPoints(points.put()), S_OK);
  expectOneIdentity(points.get(), {IID_IUnknown, IID_IEnumConnectionPoints});
  IConnectionPoint* got[3] = {};
  ULONG fetched = 7;
  EXPECT_EQ(points->Next(0, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(points->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(points->Next(2, got, nullptr), E_POINTER);
  EXPECT_EQ(points->Clone(nullptr), E_POINTER);
  EXPECT_EQ(points->Skip(ULONG_MAX), S_FALSE);
  EXPECT_EQ(points->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(points->Reset(), S_OK);
  ASSERT_EQ(points->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) {
    const auto point = com::ComPtr<IConnectionPoint>::attach(got[i]);
    IID iid{};
    ASSERT_EQ(point->GetConnectionInterface(&iid), S_OK);
    com::ComPtr<IConnectionPoint> found;
    ASSERT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(iid, found.put()), S_OK);
    EXPECT_EQ(found, point);
  }
  // The enumerator keeps the control alive, and nothing outlives both.
  control_->Close(OLECLOSE_NOSAVE);
  control_.reset();
  EXPECT_EQ(sealbrook_.canUnloadNow(), S_FALSE);
  com::ComPtr<IEnumConnectionPoints> clone;
  ASSERT_EQ(points->Clone(clone.put()), S_OK);
  points.reset();
  EXPECT_EQ(sealbrook_.canUnloadNow(), S_FALSE);
  clone.reset();
}

// A screen-compatible memory device context with a bitmap to draw on.
class Canvas {
 public:
  Canvas() {
    const HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const noexcept { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TEST_F(HostileControl, DrawTakesTheContentAsAWholeIntoAnyBoundsAndRefusesTheRest) {
  const auto view = as<IViewObject2>();
  Canvas canvas;
  const auto draw = [&](DWORD aspect, LONG index, HDC dc, const RECTL* bounds) {
    return view->Draw(aspect, index, nullptr, nullptr, nullptr, dc, bounds, nullptr, nullptr, 0);
  };
  const RECTL block{0, 0, 240, 136};
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &block), S_OK);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), nullptr), E_INVALIDARG);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, nullptr, &block), E_INVALIDARG);
  for (const DWORD aspect : {DWORD{DVASPECT_THUMBNAIL}, DWORD{DVASPECT_ICON},
                             DWORD{DVASPECT_DOCPRINT}, DWORD{0}, DWORD{0xFFFFFFFF}})
    EXPECT_EQ(draw(aspect, -1, canvas.dc(), &block), DV_E_DVASPECT) << aspect;
  for (const LONG index : {0L, 1L, -2L, LONG_MIN, LONG_MAX})
    EXPECT_EQ(draw(DVASPECT_CONTENT, index, canvas.dc(), &block), DV_E_LINDEX) << index;

  // Empty, mirrored and large bounds are drawn; bounds whose width or height is no length at all
  // are refused.
  const long gdi = wordhost::gdiObjects();
  for (const RECTL bounds : {RECTL{0, 0, 0, 0}, RECTL{50, 50, 50, 90}, RECTL{240, 136, 0, 0},
                             RECTL{-100000, -100000, 100000, 100000}, RECTL{0, 0, 1, 1},
                             RECTL{0, 0, LONG_MAX, LONG_MAX}})
    EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &bounds), S_OK)
        << bounds.left << "," << bounds.top << " " << bounds.right << "," << bounds.bottom;
  for (const RECTL bounds : {RECTL{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX},
                             RECTL{LONG_MAX, 0, LONG_MIN, 136}, RECTL{0, -2, 240, LONG_MAX}})
    EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &bounds), E_INVALIDARG)
        << bounds.left << "," << bounds.top << " " << bounds.right << "," << bounds.bottom;
  for (int i = 0; i < 200; ++i) draw(DVASPECT_CONTENT, -1, canvas.dc(), &block);
  EXPECT_EQ(wordhost::gdiObjects(), gdi);
  // An extent of the smallest size a control can have draws as well.
  SIZEL tiny{1, 1};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &tiny), S_OK);
  EXPECT_EQ(draw(DVASPECT_CONTENT, -1, canvas.dc(), &block), S_OK);
}

TEST_F(HostileControl, GetDataGivesItsTwoPresentationsOnlyAndRefusesEveryOtherFormatAndMedium) {
  const auto data = as<IDataObject>();
  std::vector<CLIPFORMAT> formats;
  for (CLIPFORMAT cf = 0; cf <= CF_MAX; ++cf) formats.push_back(cf);
  for (const CLIPFORMAT cf : {CLIPFORMAT{CF_OWNERDISPLAY}, CLIPFORMAT{CF_DSPTEXT},
                              CLIPFORMAT{CF_DSPENHMETAFILE}, CLIPFORMAT{0xFFFF}})
    formats.push_back(cf);
  for (const wchar_t* name : {L"Embed Source", L"Object Descriptor", L"Rich Text Format"})
    formats.push_back(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)));
  const DWORD media[] = {TYMED_NULL, TYMED_HGLOBAL, TYMED_FILE,  TYMED_ISTREAM, TYMED_ISTORAGE,
                         TYMED_GDI,  TYMED_MFPICT,  TYMED_ENHMF, 0xFFFFFFFF};
  for (const CLIPFORMAT cf : {CLIPFORMAT{CF_ENHMETAFILE}, CLIPFORMAT{CF_METAFILEPICT}}) {
    // The system's brushes are made at their first use: once each before counting.
    FORMATETC format{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF | TYMED_MFPICT};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    ReleaseStgMedium(&medium);
  }
  const long gdi = wordhost::gdiObjects();
  for (const CLIPFORMAT cf : formats) {
    for (const DWORD tymed : media) {
      SCOPED_TRACE(std::to_string(cf) + " on " + std::to_string(tymed));
      FORMATETC format{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
      const bool ours = cf == CF_ENHMETAFILE || cf == CF_METAFILEPICT;
      const DWORD wanted = cf == CF_ENHMETAFILE ? TYMED_ENHMF : TYMED_MFPICT;
      const HRESULT expected = !ours ? DV_E_FORMATETC : (tymed & wanted) ? S_OK : DV_E_TYMED;
      EXPECT_EQ(data->QueryGetData(&format), expected);
      STGMEDIUM medium{};
      medium.tymed = 0xBAD;
      ASSERT_EQ(data->GetData(&format, &medium), expected);
      if (expected == S_OK) {
        EXPECT_EQ(medium.tymed, wanted);
        EXPECT_NE(medium.hGlobal, nullptr);
        EXPECT_EQ(medium.pUnkForRelease, nullptr);
        ReleaseStgMedium(&medium);
      } else {
        EXPECT_EQ(medium.tymed, DWORD{TYMED_NULL});
      }
      EXPECT_EQ(data->GetDataHere(&format, &medium), E_NOTIMPL);
    }
  }
  EXPECT_EQ(wordhost::gdiObjects(), gdi);

  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  EXPECT_EQ(data->GetData(&enhanced, nullptr), E_POINTER);
  STGMEDIUM medium{};
  EXPECT_EQ(data->GetData(nullptr, &medium), E_POINTER);
  EXPECT_EQ(data->QueryGetData(nullptr), E_POINTER);
  for (const LONG index : {0L, 1L, -2L}) {
    FORMATETC part{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, index, TYMED_ENHMF};
    EXPECT_EQ(data->GetData(&part, &medium), DV_E_LINDEX) << index;
    EXPECT_EQ(data->QueryGetData(&part), DV_E_LINDEX) << index;
  }
  for (const DWORD aspect : {DWORD{DVASPECT_ICON}, DWORD{DVASPECT_THUMBNAIL}, DWORD{0}}) {
    FORMATETC other{CF_ENHMETAFILE, nullptr, aspect, -1, TYMED_ENHMF};
    EXPECT_EQ(data->GetData(&other, &medium), DV_E_DVASPECT) << aspect;
  }
  com::ComPtr<IEnumFORMATETC> offered;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_GET, nullptr), E_POINTER);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, offered.put()), E_NOTIMPL);
  EXPECT_EQ(offered.get(), nullptr);
  EXPECT_EQ(data->SetData(&enhanced, &medium, TRUE), E_NOTIMPL);
}

// --- Persistence ---------------------------------------------------------------------------------

std::vector<uint8_t> recordOf(int32_t width, int32_t height) {
  const auto bytes = sealbrook::record::encode({width, height});
  return {bytes.begin(), bytes.end()};
}

com::ComPtr<IStream> streamOf(const std::vector<uint8_t>& bytes) {
  com::ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

uint64_t positionOf(IStream* stream) {
  const LARGE_INTEGER none{};
  ULARGE_INTEGER at{};
  stream->Seek(none, STREAM_SEEK_CUR, &at);
  return at.QuadPart;
}

// A stream over memory that breaks as it is told: every Read fails, or fails once some bytes
// have been read, or claims more bytes than it was asked for; every Write fails or writes less.
class BrokenStream final : public com::Object<BrokenStream, IStream> {
 public:
  using Bases = com::Bases<ISequentialStream>;
  enum class Fault { None, ReadFails, ReadFailsAfter, ReadClaimsMore, WriteFails, WritesShort };
  BrokenStream(Fault fault, const std::vector<uint8_t>& bytes, ULONG after = 0)
      : inner_(streamOf(bytes)), fault_(fault), after_(after) {}

  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) noexcept override {
    if (read) *read = 0;
    if (fault_ == Fault::ReadFails || (fault_ == Fault::ReadFailsAfter && done_ >= after_))
      return STG_E_READFAULT;
    ULONG got = 0;
    const HRESULT hr = inner_->Read(data, size, &got);
    done_ += got;
    if (read) *read = fault_ == Fault::ReadClaimsMore ? size + 100 : got;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) noexcept override {
    if (written) *written = 0;
    if (fault_ == Fault::WriteFails) return STG_E_MEDIUMFULL;
    return inner_->Write(data, fault_ == Fault::WritesShort ? size / 2 : size, written);
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* at) noexcept override {
    return inner_->Seek(move, origin, at);
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

  uint64_t position() { return positionOf(inner_.get()); }

 private:
  com::ComPtr<IStream> inner_;
  const Fault fault_;
  const ULONG after_;
  ULONG done_ = 0;
};

TEST_F(HostileControl, ItIsInitialisedOnceWhicheverWayAndAFailedLoadLeavesItUninitialised) {
  const auto stream = as<IPersistStreamInit>();
  const auto storage = as<IPersistStorage>();
  EXPECT_EQ(stream->InitNew(), S_OK);
  EXPECT_EQ(stream->InitNew(), E_UNEXPECTED);
  const auto saved = streamOf(recordOf(8000, 4000));
  EXPECT_EQ(stream->Load(saved.get()), E_UNEXPECTED);
  EXPECT_EQ(positionOf(saved.get()), 0u);  // not read at all
  com::ComPtr<IStorage> fresh;
  ASSERT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, fresh.put()),
            S_OK);
  EXPECT_EQ(storage->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(storage->Load(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_TRUE(sameSize(extent(), kNewExtent));

  // Loaded, then asked again every way.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  const auto loaded = as<IPersistStreamInit>();
  EXPECT_EQ(loaded->Load(nullptr), E_POINTER);
  const auto cutOff = streamOf({'S', 'B', 'R', 'K', 1, 0, 8, 0, 1, 2});
  EXPECT_EQ(loaded->Load(cutOff.get()), E_FAIL);
  EXPECT_EQ(loaded->Load(saved.get()), S_OK);  // the failure initialised nothing
  EXPECT_TRUE(sameSize(extent(), (SIZEL{8000, 4000})));
  EXPECT_EQ(loaded->Load(streamOf(recordOf(9000, 4000)).get()), E_UNEXPECTED);
  EXPECT_EQ(loaded->InitNew(), E_UNEXPECTED);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_TRUE(sameSize(extent(), (SIZEL{8000, 4000})));

  // Through storage first.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(nullptr), E_POINTER);
  EXPECT_EQ(as<IPersistStorage>()->Load(nullptr), E_POINTER);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), S_OK);
  EXPECT_EQ(as<IPersistStorage>()->InitNew(fresh.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(as<IPersistStreamInit>()->InitNew(), E_UNEXPECTED);
}

TEST_F(HostileControl, ItIsDirtyExactlyWhenWhatItSavesChangedUntilASaveClearsIt) {
  const auto persist = as<IPersistStreamInit>();
  const auto storage = as<IPersistStorage>();
  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  SIZEL same = kNewExtent;
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &same), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);  // nothing changed
  SIZEL impossible{0, 0};
  EXPECT_EQ(control_->SetExtent(DVASPECT_CONTENT, &impossible), E_INVALIDARG);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  SIZEL larger{8000, 4000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_OK);  // one object, one state

  // Drawing it, asking for its presentation and a save that keeps the flag change nothing.
  Canvas canvas;
  const RECTL block{0, 0, 240, 136};
  as<IViewObject2>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &block,
                           nullptr, nullptr, 0);
  FORMATETC enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  STGMEDIUM medium{};
  ASSERT_EQ(as<IDataObject>()->GetData(&enhanced, &medium), S_OK);
  ReleaseStgMedium(&medium);
  const auto copy = streamOf({});
  ASSERT_EQ(persist->Save(copy.get(), FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  const auto saved = streamOf({});
  ASSERT_EQ(persist->Save(saved.get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  // Through storage: a save as a copy keeps the flag, a save into its own storage clears it.
  SIZEL wider{9000, 4000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &wider), S_OK);
  com::ComPtr<IStorage> target;
  ASSERT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, target.put()),
            S_OK);
  ASSERT_EQ(storage->Save(target.get(), FALSE), S_OK);
  EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_OK);
  ASSERT_EQ(storage->Save(target.get(), TRUE), S_OK);
  EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_FALSE);

  // Closed dirty and asked to save, it has its site save it; clean, or told not to, it does not.
  const HWND document = CreateWindowExW(0, L"STATIC", L"document", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  struct Closing {
    DWORD option;
    bool resized;
    bool saved;
  };
  for (const Closing c :
       {Closing{OLECLOSE_SAVEIFDIRTY, true, true}, Closing{OLECLOSE_PROMPTSAVE, true, true},
        Closing{OLECLOSE_NOSAVE, true, false}, Closing{OLECLOSE_SAVEIFDIRTY, false, false}}) {
    const auto other = create<IOleObject>(kSignDataClass);
    const auto site = wordhost::ControlSite::make(document, RECT{});
    ASSERT_EQ(other->SetClientSite(site.get()), S_OK);
    SIZEL resized{5000, 2000};
    if (c.resized) {
      ASSERT_EQ(other->SetExtent(DVASPECT_CONTENT, &resized), S_OK);
    }
    EXPECT_EQ(other->Close(c.option), S_OK);
    EXPECT_EQ(std::count(site->calls.begin(), site->calls.end(), "SaveObject"), c.saved ? 1 : 0)
        << c.option << " " << c.resized;
  }
  DestroyWindow(document);

  // What was saved loads clean, at the size saved.
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  const LARGE_INTEGER start{};
  saved->Seek(start, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Load(saved.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), larger));
  EXPECT_EQ(as<IPersistStreamInit>()->IsDirty(), S_FALSE);
}

TEST_F(HostileControl, AStreamItSavedLoadsBackAndLeavesThePositionWhereTheSaveEnded) {
  SIZEL larger{8000, 4000};
  ASSERT_EQ(as<IPersistStreamInit>()->InitNew(), S_OK);
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  ULARGE_INTEGER most{};
  ASSERT_EQ(as<IPersistStreamInit>()->GetSizeMax(&most), S_OK);
  EXPECT_EQ(as<IPersistStreamInit>()->GetSizeMax(nullptr), E_POINTER);
  // Saved after something of the host's, and followed by more of it.
  const auto stream = streamOf({});
  stream->Write("host", 4, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  const uint64_t end = positionOf(stream.get());
  EXPECT_EQ(end, 4 + most.QuadPart);
  stream->Write("more of the host's", 18, nullptr);
  EXPECT_EQ(as<IPersistStreamInit>()->Save(nullptr, TRUE), E_POINTER);
  for (const auto fault : {BrokenStream::Fault::WriteFails, BrokenStream::Fault::WritesShort}) {
    const auto broken = BrokenStream::make(fault, std::vector<uint8_t>{});
    EXPECT_TRUE(FAILED(as<IPersistStreamInit>()->Save(broken.get(), TRUE)));
  }

  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  LARGE_INTEGER at{};
  at.QuadPart = 4;
  stream->Seek(at, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(as<IPersistStreamInit>()->Load(stream.get()), S_OK);
  EXPECT_EQ(positionOf(stream.get()), end);
  EXPECT_TRUE(sameSize(extent(), larger));
}

TEST_F(HostileControl, StreamsOfEveryShapeLoadOrFailWithThePositionAfterWhatWasRead) {
  std::vector<uint8_t> later = recordOf(8000, 4000);
  later[4] = 2;   // version 2
  later[6] = 12;  // four bytes more than version 1
  later.insert(later.end(), {0xAA, 0xBB, 0xCC, 0xDD});
  std::vector<uint8_t> claimsMore = later;
  claimsMore[6] = 200;  // more than the stream holds
  std::vector<uint8_t> oversized = recordOf(8000, 4000);
  oversized.resize(oversized.size() + (1 << 20), 0x5A);
  const std::vector<uint8_t> whole = recordOf(8000, 4000);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    HRESULT expected;
    uint64_t position;
    SIZEL extent;
  };
  const Case cases[] = {
      {"empty", {}, S_OK, 0, kNewExtent},
      {"shorter than a header, not ours", {'a', 'b', 'c'}, S_OK, 3, kNewExtent},
      {"another control's data",
       {'V', 'B', '5', '!', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
       S_OK,
       8,
       kNewExtent},
      {"ours cut off in its header", {'S', 'B', 'R', 'K', 1}, E_FAIL, 5, kNewExtent},
      {"ours, the header only", {whole.begin(), whole.begin() + 8}, E_FAIL, 8, kNewExtent},
      {"ours cut off in its extent", {whole.begin(), whole.begin() + 12}, E_FAIL, 12, kNewExtent},
      {"ours, longer than the stream", claimsMore, E_FAIL, claimsMore.size(), kNewExtent},
      {"ours, of a later version", later, S_OK, later.size(), SIZEL{8000, 4000}},
      {"ours, followed by a megabyte", oversized, S_OK, 16, SIZEL{8000, 4000}},
      {"ours, with an extent no control has", recordOf(0, -5), S_OK, 16, kNewExtent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = streamOf(c.bytes);
    EXPECT_EQ(as<IPersistStreamInit>()->Load(stream.get()), c.expected);
    EXPECT_EQ(positionOf(stream.get()), c.position);
    EXPECT_TRUE(sameSize(extent(), c.extent));
    control_->Close(OLECLOSE_NOSAVE);
  }

  // A stream whose every read fails, fails after the header, or claims more than it was asked.
  struct Broken {
    BrokenStream::Fault fault;
    HRESULT expected;
    uint64_t position;
  };
  for (const Broken& b : {Broken{BrokenStream::Fault::ReadFails, STG_E_READFAULT, 0},
                          Broken{BrokenStream::Fault::ReadFailsAfter, STG_E_READFAULT, 8},
                          Broken{BrokenStream::Fault::ReadClaimsMore, STG_E_READFAULT, 8}}) {
    SCOPED_TRACE(static_cast<int>(b.fault));
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = BrokenStream::make(b.fault, whole, 8);
    EXPECT_EQ(as<IPersistStreamInit>()->Load(stream.get()), b.expected);
    EXPECT_EQ(stream->position(), b.position);
    EXPECT_TRUE(sameSize(extent(), kNewExtent));
    control_->Close(OLECLOSE_NOSAVE);
  }

  // Random bytes, some starting as our record does: whatever they hold, no crash, the position
  // within the stream, and an extent a control can have.
  std::mt19937 random(20240611);
  const long handles = wordhost::kernelHandles();
  for (int i = 0; i < 300; ++i) {
    std::vector<uint8_t> bytes(random() % 40);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    if (i % 2 && bytes.size() >= 4) std::copy(whole.begin(), whole.begin() + 4, bytes.begin());
    control_ = create<IOleObject>(kSignDataClass);
    const auto stream = streamOf(bytes);
    const HRESULT hr = as<IPersistStreamInit>()->Load(stream.get());
    EXPECT_THAT(hr, AnyOf(Eq(S_OK), Eq(E_FAIL))) << i;
    EXPECT_LE(positionOf(stream.get()), bytes.size()) << i;
    const SIZEL size = extent();
    EXPECT_TRUE(sealbrook::record::possibleExtent({size.cx, size.cy})) << i;
    control_->Close(OLECLOSE_NOSAVE);
  }
  EXPECT_EQ(wordhost::kernelHandles(), handles);
}

// A storage in memory, with a stream "Contents" holding the bytes when there are any.
com::ComPtr<IStorage> storageWith(const std::vector<uint8_t>* contents) {
  com::ComPtr<IStorage> storage;
  EXPECT_EQ(StgCreateDocfile(
                nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                0, storage.put()),
            S_OK);
  if (contents) {
    com::ComPtr<IStream> stream;
    EXPECT_EQ(storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                                    0, stream.put()),
              S_OK);
    if (!contents->empty())
      stream->Write(contents->data(), static_cast<ULONG>(contents->size()), nullptr);
  }
  return storage;
}

TEST_F(HostileControl, StoragesOfEveryShapeLoadOrFailAndASavedOneLoadsBack) {
  const std::vector<uint8_t> empty, whole = recordOf(8000, 4000);
  const std::vector<uint8_t> cutOff(whole.begin(), whole.begin() + 12);
  const std::vector<uint8_t> foreign = {'V', 'B', '5', '!', 0, 0, 0, 0, 9, 9, 9, 9};
  struct Case {
    const char* what;
    const std::vector<uint8_t>* contents;
    HRESULT expected;
    SIZEL extent;
  };
  for (const Case& c : {Case{"no stream", nullptr, S_OK, kNewExtent},
                        Case{"an empty stream", &empty, S_OK, kNewExtent},
                        Case{"another control's data", &foreign, S_OK, kNewExtent},
                        Case{"our record cut off", &cutOff, E_FAIL, kNewExtent},
                        Case{"our record", &whole, S_OK, SIZEL{8000, 4000}}}) {
    SCOPED_TRACE(c.what);
    control_ = create<IOleObject>(kSignDataClass);
    EXPECT_EQ(as<IPersistStorage>()->Load(storageWith(c.contents).get()), c.expected);
    EXPECT_TRUE(sameSize(extent(), c.extent));
    control_->Close(OLECLOSE_NOSAVE);
  }
  // Random contents, some beginning as our record does.
  std::mt19937 random(7);
  for (int i = 0; i < 50; ++i) {
    std::vector<uint8_t> bytes(random() % 40);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    if (i % 2 && bytes.size() >= 4) std::copy(whole.begin(), whole.begin() + 4, bytes.begin());
    control_ = create<IOleObject>(kSignDataClass);
    EXPECT_THAT(as<IPersistStorage>()->Load(storageWith(&bytes).get()), AnyOf(Eq(S_OK), Eq(E_FAIL)))
        << i;
    const SIZEL size = extent();
    EXPECT_TRUE(sealbrook::record::possibleExtent({size.cx, size.cy})) << i;
    control_->Close(OLECLOSE_NOSAVE);
  }
  // "Contents" as a storage, not a stream: nothing of ours.
  control_ = create<IOleObject>(kSignDataClass);
  const auto odd = storageWith(nullptr);
  com::ComPtr<IStorage> inner;
  ASSERT_EQ(odd->CreateStorage(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                               inner.put()),
            S_OK);
  inner.reset();
  EXPECT_EQ(as<IPersistStorage>()->Load(odd.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), kNewExtent));

  // A save and a load: the same size, and the class of the control in the storage.
  SIZEL larger{7000, 3000};
  ASSERT_EQ(control_->SetExtent(DVASPECT_CONTENT, &larger), S_OK);
  const auto saved = storageWith(nullptr);
  EXPECT_EQ(as<IPersistStorage>()->Save(nullptr, TRUE), E_POINTER);
  ASSERT_EQ(as<IPersistStorage>()->Save(saved.get(), FALSE), S_OK);
  ASSERT_EQ(as<IPersistStorage>()->SaveCompleted(nullptr), S_OK);
  CLSID clsid{};
  ASSERT_EQ(ReadClassStg(saved.get(), &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kSignDataClass));
  control_->Close(OLECLOSE_NOSAVE);
  control_ = create<IOleObject>(kSignDataClass);
  ASSERT_EQ(as<IPersistStorage>()->Load(saved.get()), S_OK);
  EXPECT_TRUE(sameSize(extent(), larger));
  EXPECT_EQ(as<IPersistStorage>()->HandsOffStorage(), S_OK);
}

// --- A container that lets go of the control while it activates ----------------------------------

// A client and in-place site that releases the control (its only reference) as soon as the
// control tells it that it activates in place, and asks the library right then whether it could
// be unloaded.
class LettingGoSite final : public com::Object<LettingGoSite, IOleClientSite, IOleInPlaceSite> {
 public:
  using Bases = com::Bases<IOleWindow>;
  LettingGoSite(HWND window, const Library& library) noexcept
      : window_(window), library_(library) {}

  com::ComPtr<IOleObject> control;
  HRESULT unloadableWhenLetGo = E_FAIL;

  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) noexcept override {
    if (!hwnd) return E_POINTER;
    *hwnd = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override {
    control.reset();
    unloadableWhenLetGo = library_.canUnloadNow();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO) noexcept override {
    if (!frame || !doc || !position || !clip) return E_POINTER;
    *frame = nullptr;
    *doc = nullptr;
    *position = *clip = RECT{10, 10, 250, 146};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

 private:
  HWND window_;
  const Library& library_;
};

TEST_F(HostileControl, ReleasedByItsContainerWhileItActivatesItFinishesThenGoesWithItsWindows) {
  control_.reset();
  const HWND document = CreateWindowExW(0, L"STATIC", L"document", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(document, nullptr);
  const long user = wordhost::userObjects();
  for (int i = 0; i < 3; ++i) {
    const auto site = LettingGoSite::make(document, sealbrook_);
    IOleObject* control = nullptr;
    {
      auto made = create<IOleObject>(kSignDataClass);
      ASSERT_EQ(made->SetClientSite(site.get()), S_OK);
      com::ComPtr<IPersistStreamInit> persist;
      ASSERT_EQ(made.query(persist), S_OK);
      ASSERT_EQ(persist->InitNew(), S_OK);
      control = made.get();
      site->control = std::move(made);
    }
    RECT position{10, 10, 250, 146};
    EXPECT_EQ(
        control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, document, &position),
        S_OK);
    EXPECT_EQ(site->control.get(), nullptr);
    EXPECT_EQ(site->unloadableWhenLetGo, S_FALSE);  // still activating then
    EXPECT_EQ(FindWindowExW(document, nullptr, L"Sealbrook.SignData", nullptr), nullptr);
    EXPECT_EQ(sealbrook_.canUnloadNow(), S_OK);
    EXPECT_EQ(references(site->identity()), 1u);
  }
  EXPECT_EQ(wordhost::userObjects(), user);
  DestroyWindow(document);
}

}  // namespace
