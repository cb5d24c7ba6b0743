#include "win32/com/guid.h"

#include "win32/com/bstr.h"

#include "registration/keys.h"

namespace com {

GUID toGuid(const automation::Guid& g) noexcept {
  GUID r;
  r.Data1 = g.data1;
  r.Data2 = g.data2;
  r.Data3 = g.data3;
  for (int i = 0; i < 8; ++i) r.Data4[i] = g.data4[size_t(i)];
  return r;
}

automation::Guid fromGuid(const GUID& g) noexcept {
  automation::Guid r;
  r.data1 = g.Data1;
  r.data2 = g.Data2;
  r.data3 = g.Data3;
  for (int i = 0; i < 8; ++i) r.data4[size_t(i)] = g.Data4[i];
  return r;
}

std::wstring guidString(const GUID& guid) {
  return wide(registration::guidText(fromGuid(guid)));
}

}  // namespace com
