// IPersistStreamInit and IPersistStorage of SignData. The control saves nothing of its own but
// its extent, in a small versioned record:
//   offset 0  'S' 'B' 'R' 'K'   signature
//          4  uint16 version    1
//          6  uint16 length     of what follows (8 in version 1)
//          8  int32  width      HIMETRIC
//         12  int32  height     HIMETRIC
// A later version may make the record longer; what this version knows is read and the rest
// skipped. Data that is not such a record (a document saved by another control under this class)
// is taken as a new control: loading never fails, since nothing of the control's own is read
// back anyway. The control is never dirty: refreshing its pictures never marks a document
// changed.
#include <cstring>

#include "win32/sealbrook/signdata_object.h"

namespace sealbrook::win {
namespace {

constexpr char kSignature[4] = {'S', 'B', 'R', 'K'};
constexpr uint16_t kVersion = 1;
constexpr uint16_t kLength = 8;
constexpr ULONG kRecordSize = 16;
constexpr LONG kLargest = 1000000;  // 10 m: anything larger is not an extent of ours
const wchar_t kStreamName[] = L"Contents";

HRESULT readExact(IStream* stream, void* data, ULONG size) {
  ULONG read = 0;
  const HRESULT hr = stream->Read(data, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

}  // namespace

HRESULT STDMETHODCALLTYPE SignDataObject::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_SignData;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::IsDirty() noexcept { return S_FALSE; }

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew() noexcept {
  created();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Load(IStream* stream) noexcept {
  if (!stream) return E_POINTER;
  created();
  unsigned char header[8];
  if (FAILED(readExact(stream, header, sizeof header))) return S_OK;
  uint16_t version, length;
  std::memcpy(&version, header + 4, 2);
  std::memcpy(&length, header + 6, 2);
  if (std::memcmp(header, kSignature, 4) != 0 || version == 0 || length < kLength) return S_OK;
  int32_t size[2];
  if (FAILED(readExact(stream, size, sizeof size))) return S_OK;
  if (length > kLength) {
    LARGE_INTEGER skip;
    skip.QuadPart = length - kLength;
    stream->Seek(skip, STREAM_SEEK_CUR, nullptr);
  }
  if (size[0] > 0 && size[1] > 0 && size[0] <= kLargest && size[1] <= kLargest)
    extent_ = {size[0], size[1]};
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::Save(IStream* stream, BOOL) noexcept {
  if (!stream) return E_POINTER;
  unsigned char record[kRecordSize];
  std::memcpy(record, kSignature, 4);
  std::memcpy(record + 4, &kVersion, 2);
  std::memcpy(record + 6, &kLength, 2);
  const int32_t size[2] = {extent_.cx, extent_.cy};
  std::memcpy(record + 8, size, sizeof size);
  ULONG written = 0;
  const HRESULT hr = stream->Write(record, kRecordSize, &written);
  if (FAILED(hr)) return hr;
  return written == kRecordSize ? S_OK : STG_E_WRITEFAULT;
}

HRESULT STDMETHODCALLTYPE SignDataObject::GetSizeMax(ULARGE_INTEGER* size) noexcept {
  if (!size) return E_POINTER;
  size->QuadPart = kRecordSize;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SignDataObject::InitNew(IStorage*) noexcept { return InitNew(); }

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

HRESULT STDMETHODCALLTYPE SignDataObject::SaveCompleted(IStorage*) noexcept { return S_OK; }
HRESULT STDMETHODCALLTYPE SignDataObject::HandsOffStorage() noexcept { return S_OK; }

}  // namespace sealbrook::win
