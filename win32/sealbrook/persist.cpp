// IPersistStreamInit and IPersistStorage of SignData: the control's record (sealbrook/record.h)
// read from and written to the host's stream. Loading never fails, since nothing of the control's
// own is read back anyway: data that is not a record of ours is taken as a new control. The
// control is never dirty: refreshing its pictures never marks a document changed.
#include "win32/sealbrook/signdata_object.h"

#include "sealbrook/record.h"

namespace sealbrook::win {
namespace {

const wchar_t kStreamName[] = L"Contents";

bool readExact(IStream* stream, uint8_t* data, size_t size) {
  ULONG read = 0;
  return SUCCEEDED(stream->Read(data, static_cast<ULONG>(size), &read)) && read == size;
}

}  // namespace

HRESULT STDMETHODCALLTYPE SignDataObject::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_SignData;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::IsDirty() noexcept {
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew() noexcept {
  created();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Load(IStream* stream) noexcept {
  if (!stream) return E_POINTER;
  created();
  // The header first: data that is not ours is read no further.
  uint8_t bytes[record::kSize];
  if (!readExact(stream, bytes, record::kHeader) || !record::decode({bytes, record::kHeader}))
    return S_OK;
  if (!readExact(stream, bytes + record::kHeader, record::kSize - record::kHeader)) return S_OK;
  const std::optional<record::Decoded> found = record::decode({bytes, record::kSize});
  if (!found) return S_OK;
  if (found->length > record::kSize) {  // what a later version added
    LARGE_INTEGER skip;
    skip.QuadPart = static_cast<LONGLONG>(found->length - record::kSize);
    stream->Seek(skip, STREAM_SEEK_CUR, nullptr);
  }
  if (found->extent) extent_ = {found->extent->width, found->extent->height};
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Save(IStream* stream, BOOL) noexcept {
  if (!stream) return E_POINTER;
  const auto bytes = record::encode({extent_.cx, extent_.cy});
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  return written == bytes.size() ? S_OK : STG_E_WRITEFAULT;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetSizeMax(ULARGE_INTEGER* size) noexcept {
  if (!size) return E_POINTER;
  size->QuadPart = record::kSize;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew(IStorage*) noexcept {
  return InitNew();
}

HRESULT STDMETHODCALLTYPE SignDataObject::Load(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  com::ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                 stream.put())))
    return InitNew();
  return Load(stream.get());
}

HRESULT STDMETHODCALLTYPE SignDataObject::Save(IStorage* storage, BOOL) noexcept {
  if (!storage) return E_POINTER;
  com::ComPtr<IStream> stream;
  HRESULT hr = WriteClassStg(storage, CLSID_SignData);
  if (SUCCEEDED(hr))
    hr = storage->CreateStream(kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                               stream.put());
  if (SUCCEEDED(hr)) hr = Save(stream.get(), TRUE);
  return hr;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SaveCompleted(IStorage*) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::HandsOffStorage() noexcept {
  return S_OK;
}

}  // namespace sealbrook::win
