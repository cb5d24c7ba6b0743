// IViewObject2 of SignData. On the screen the block shows both pictures, kept current by the
// control. Drawn into a metafile (a presentation that the host keeps in the document and shows
// where controls are off, or a PDF export) or onto a printed page, it shows the signature picture
// alone: a status picture there would outlive the document's validity. (IDataObject hands out
// the same kept presentation: data_object.cpp.)
#include <cstdint>

#include "win32/sealbrook/platform.h"
#include "win32/sealbrook/signdata_object.h"

#include "sealbrook/layout.h"

namespace sealbrook::win {
namespace {

bool measurable(const RECTL& r) {
  const auto fits = [](LONG from, LONG to) {
    const int64_t length = int64_t{to} - from;
    return length >= -INT32_MAX && length <= INT32_MAX;
  };
  return fits(r.left, r.right) && fits(r.top, r.bottom);
}

bool isScreen(HDC dc) {
  const DWORD type = GetObjectType(dc);
  return (type == OBJ_DC || type == OBJ_MEMDC) && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY;
}

}  // namespace

// The content is drawn as a whole (lindex -1), into any bounds whose width and height are
// lengths: empty or inverted ones too, as mapping modes make them.
HRESULT STDMETHODCALLTYPE SignDataObject::Draw(DWORD aspect, LONG index, void*, DVTARGETDEVICE*,
                                               HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                               ULONG_PTR) noexcept {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (index != -1) return DV_E_LINDEX;
  if (!dc || !bounds || !measurable(*bounds)) return E_INVALIDARG;
  const host::Rect area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  paintBlock(dc, area, isScreen(dc) ? Medium::Screen : Medium::Kept);
  return S_OK;
}

// The empty block, then the pictures at their own size, scaled with the block.
void SignDataObject::paintBlock(HDC dc, const host::Rect& area, Medium medium) const noexcept {
  ControlWindow::paintBlock(dc, area);
  const host::Dpi dpi = drawingResolution(area, {extent_.cx, extent_.cy});
  for (const auto& [picture, at] : picturesShown(core_, {area.left, area.top}, dpi, medium))
    picture->render(dc, at, dpi);
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                      LOGPALETTE** colors) noexcept {
  if (colors) *colors = nullptr;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Freeze(DWORD, LONG, void*, DWORD*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Unfreeze(DWORD) noexcept {
  return E_NOTIMPL;
}

// The host draws the view when it keeps, prints or exports it, and the control repaints its own
// window on the screen: the sink is kept but never called.
HRESULT STDMETHODCALLTYPE SignDataObject::SetAdvise(DWORD aspects, DWORD flags,
                                                    IAdviseSink* sink) noexcept {
  viewAspects_ = aspects;
  viewFlags_ = flags;
  viewSink_ = com::ComPtr<IAdviseSink>(sink);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetAdvise(DWORD* aspects, DWORD* flags,
                                                    IAdviseSink** sink) noexcept {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) viewSink_.copyTo(sink);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE*,
                                                    LPSIZEL size) noexcept {
  if (aspect == DVASPECT_CONTENT && index != -1) return DV_E_LINDEX;
  return GetExtent(aspect, size);
}

}  // namespace sealbrook::win
