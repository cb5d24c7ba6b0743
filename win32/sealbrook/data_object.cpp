// IDataObject of SignData: the host's cached presentation of the control, as an enhanced
// metafile or a metafile picture: the block in Picture1's back colour with the signature picture,
// never a status picture. The host keeps them in the document and shows, prints and exports them
// where controls do not run, long after the signature they would speak of may have changed.
#include <shlobj.h>

#include "win32/sealbrook/signdata_object.h"

namespace sealbrook::win {
namespace {

const FORMATETC kFormats[] = {
    {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF},
    {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT},
};

HRESULT check(const FORMATETC* format) noexcept {
  if (!format) return E_POINTER;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (format->lindex != -1) return DV_E_LINDEX;  // the content is never split into parts
  if (format->cfFormat == CF_ENHMETAFILE) return (format->tymed & TYMED_ENHMF) ? S_OK : DV_E_TYMED;
  if (format->cfFormat == CF_METAFILEPICT)
    return (format->tymed & TYMED_MFPICT) ? S_OK : DV_E_TYMED;
  return DV_E_FORMATETC;
}

}  // namespace

// The block at the extent: in an enhanced metafile, framed in HIMETRIC, drawn in the reference
// device's pixels.
HENHMETAFILE SignDataObject::enhancedMetafile() const noexcept {
  const SIZEL extent = extent_;
  const RECT frame{0, 0, extent.cx, extent.cy};
  const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  if (!dc) return nullptr;
  const host::Rect bounds{
      0, 0, MulDiv(extent.cx, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100),
      MulDiv(extent.cy, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100)};
  paintBlock(dc, bounds, Medium::Kept);
  return CloseEnhMetaFile(dc);
}

// In a metafile picture, in anisotropic HIMETRIC units.
HGLOBAL SignDataObject::metafilePicture() const noexcept {
  const SIZEL extent = extent_;
  const HDC dc = CreateMetaFileW(nullptr);
  if (!dc) return nullptr;
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, extent.cx, extent.cy, nullptr);
  paintBlock(dc, {0, 0, extent.cx, extent.cy}, Medium::Kept);
  const HMETAFILE metafile = CloseMetaFile(dc);
  if (!metafile) return nullptr;
  const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  if (!global) {
    DeleteMetaFile(metafile);
    return nullptr;
  }
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(global));
  *picture = METAFILEPICT{MM_ANISOTROPIC, extent.cx, extent.cy, metafile};
  GlobalUnlock(global);
  return global;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  if (!medium) return E_POINTER;
  *medium = STGMEDIUM{};
  if (const HRESULT hr = check(format); FAILED(hr)) return hr;
  if (format->cfFormat == CF_ENHMETAFILE) {
    medium->hEnhMetaFile = enhancedMetafile();
    if (!medium->hEnhMetaFile) return E_OUTOFMEMORY;
    medium->tymed = TYMED_ENHMF;
  } else {
    medium->hMetaFilePict = metafilePicture();
    if (!medium->hMetaFilePict) return E_OUTOFMEMORY;
    medium->tymed = TYMED_MFPICT;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::QueryGetData(FORMATETC* format) noexcept {
  return check(format);
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetCanonicalFormatEtc(FORMATETC*,
                                                                FORMATETC* out) noexcept {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::EnumFormatEtc(DWORD direction,
                                                        IEnumFORMATETC** formats) noexcept {
  if (!formats) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  return SHCreateStdEnumFmtEtc(ARRAYSIZE(kFormats), kFormats, formats);
}

// The host reads the presentation when it keeps, prints or exports it. Advise sinks are kept and
// not told of the pictures that come and go; they are called on close, and when asked to be
// primed, which calls back into the sink at once: the control stays alive for that.
HRESULT STDMETHODCALLTYPE SignDataObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                                  DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!sink) return E_INVALIDARG;
  if (const HRESULT hr = check(format); FAILED(hr)) return hr;
  const com::ComPtr<SignDataObject> alive(this);
  return dataAdviseHolder_.advise(
      [&](IDataAdviseHolder* h) { return h->Advise(this, format, flags, sink, connection); });
}

HRESULT STDMETHODCALLTYPE SignDataObject::DUnadvise(DWORD connection) noexcept {
  return dataAdviseHolder_.unadvise(connection);
}

HRESULT STDMETHODCALLTYPE SignDataObject::EnumDAdvise(IEnumSTATDATA** advise) noexcept {
  return dataAdviseHolder_.enumerate(advise);
}

}  // namespace sealbrook::win
