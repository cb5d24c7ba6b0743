// IPersistStreamInit and IPersistStorage of SignData: the control's record (sealbrook/record.h)
// read from and written to the host's stream. The control is initialised once, new or loaded;
// asked again, it refuses as each interface's contract has it (E_UNEXPECTED for a stream,
// CO_E_ALREADYINITIALIZED for a storage). Data that is not a record of ours loads as a new
// control. A stream that fails, or ends inside a record of ours, fails the load: the control stays
// as it was, uninitialised, and the stream stays after what was read. The control is dirty
// exactly when the extent it saves has changed since it was loaded or saved with its flag
// cleared: refreshing its pictures or signing never marks a document changed.
#include <algorithm>

#include "win32/sealbrook/signdata_object.h"

#include "sealbrook/record.h"

namespace sealbrook::win {
namespace {

const wchar_t kStreamName[] = L"Contents";

// Reads up to `size` bytes, fewer only where the stream ends: how many came, or the stream's
// failure. A stream that says it read more than it was asked for is broken.
HRESULT readUpTo(IStream* stream, uint8_t* data, size_t size, size_t& got) noexcept {
  got = 0;
  while (got < size) {
    const auto asked = static_cast<ULONG>(size - got);
    ULONG read = 0;
    if (const HRESULT hr = stream->Read(data + got, asked, &read); FAILED(hr)) return hr;
    if (read > asked) return STG_E_READFAULT;
    if (read == 0) break;
    got += read;
  }
  return S_OK;
}

// Exactly `size` bytes, or E_FAIL where the stream ends before them.
HRESULT readExact(IStream* stream, uint8_t* data, size_t size) noexcept {
  size_t got = 0;
  const HRESULT hr = readUpTo(stream, data, size, got);
  if (FAILED(hr)) return hr;
  return got == size ? S_OK : E_FAIL;
}

// The record at the stream's position. S_OK with the extent it holds, or none for data that is
// not ours or an extent no control has; the stream's failure; E_FAIL for a record of ours that
// the stream cuts off. What a later version added is read too, so that the stream ends after the
// record, and a record cut off there is known.
HRESULT readRecord(IStream* stream, std::optional<host::Size>& extent) noexcept {
  uint8_t bytes[record::kSize];
  size_t got = 0;
  if (const HRESULT hr = readUpTo(stream, bytes, record::kHeader, got); FAILED(hr)) return hr;
  if (got < record::kHeader) return record::beginsRecord({bytes, got}) ? E_FAIL : S_OK;
  if (!record::decode({bytes, got})) return S_OK;  // not ours: read no further
  const size_t rest = record::kSize - record::kHeader;
  if (const HRESULT hr = readExact(stream, bytes + record::kHeader, rest); FAILED(hr)) return hr;
  const std::optional<record::Decoded> found = record::decode({bytes, record::kSize});
  if (!found) return E_FAIL;
  uint8_t later[256];
  for (size_t left = found->length - record::kSize; left > 0;) {
    const size_t chunk = std::min(left, sizeof later);
    if (const HRESULT hr = readExact(stream, later, chunk); FAILED(hr)) return hr;
    left -= chunk;
  }
  extent = found->extent;
  return S_OK;
}

}  // namespace

void SignDataObject::initialised() noexcept {
  initialised_ = true;
  dirty_ = false;
  created();
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_SignData;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::IsDirty() noexcept {
  return dirty_ ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew() noexcept {
  if (initialised_) return E_UNEXPECTED;
  initialised();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Load(IStream* stream) noexcept {
  if (!stream) return E_POINTER;
  if (initialised_) return E_UNEXPECTED;
  std::optional<host::Size> extent;
  if (const HRESULT hr = readRecord(stream, extent); FAILED(hr)) return hr;
  if (extent) extent_ = {extent->width, extent->height};
  initialised();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Save(IStream* stream, BOOL clearDirty) noexcept {
  if (!stream) return E_POINTER;
  const auto bytes = record::encode({extent_.cx, extent_.cy});
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  if (written != bytes.size()) return STG_E_WRITEFAULT;
  if (clearDirty) dirty_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetSizeMax(ULARGE_INTEGER* size) noexcept {
  if (!size) return E_POINTER;
  size->QuadPart = record::kSize;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  return InitNew();
}

// A storage without the control's stream was saved by a control that wrote none: a new control.
HRESULT STDMETHODCALLTYPE SignDataObject::Load(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  com::ComPtr<IStream> stream;
  const HRESULT hr =
      storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put());
  if (hr == STG_E_FILENOTFOUND) return InitNew();
  if (FAILED(hr)) return hr;
  return Load(stream.get());
}

// Saved into the storage it lives in, the control is as saved; saved as a copy elsewhere, it
// keeps its flag.
HRESULT STDMETHODCALLTYPE SignDataObject::Save(IStorage* storage, BOOL sameAsLoad) noexcept {
  if (!storage) return E_POINTER;
  com::ComPtr<IStream> stream;
  HRESULT hr = WriteClassStg(storage, CLSID_SignData);
  if (SUCCEEDED(hr))
    hr = storage->CreateStream(kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                               stream.put());
  if (SUCCEEDED(hr)) hr = Save(stream.get(), sameAsLoad);
  return hr;
}

HRESULT STDMETHODCALLTYPE SignDataObject::SaveCompleted(IStorage*) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE SignDataObject::HandsOffStorage() noexcept {
  return S_OK;
}

}  // namespace sealbrook::win
