// What Sealbrook.ocx holds in the simulated Word's process under Wine, through real COM: the
// process's private bytes, heap bytes, GDI objects and USER objects before the first control,
// with the first control (the library loads with it), for each further control (the average of
// ten), once their document is closed and after more controls come and go, and around the
// 10,000 refreshes of the soak (tests/wine/soak_test.cpp asserts that they leave the objects as
// they were; this prints the figures). GDI and USER objects are counted as the soak test counts
// them (wordhost/resources.h).
// Private bytes are the process's private commit, summed over its address space (VirtualQuery:
// committed private pages; Wine reports none through GetProcessMemoryInfo), which grows by whole
// pages as the heaps do; heap bytes are the blocks in use in the process's heaps (HeapWalk),
// which show a control's own allocations.
//
//   resources_bench.exe [ticks of the soak, 10000 unless given]
//
// It registers nothing: Sealbrook.ocx must be registered in the prefix (regsvr32; scripts/bench
// does). It puts the status pictures where the control reads them and takes them away at the end.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/resources.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "automation/object.h"
#include "base/error.h"
#include "base/unicode.h"

namespace {

struct Resources {
  double privateBytes = 0;
  double heapBytes = 0;
  double gdi = 0;
  double user = 0;

  Resources operator-(const Resources& o) const {
    return {privateBytes - o.privateBytes, heapBytes - o.heapBytes, gdi - o.gdi, user - o.user};
  }
  Resources operator/(double n) const {
    return {privateBytes / n, heapBytes / n, gdi / n, user / n};
  }
};

// The committed private memory of the process.
double privateBytes() {
  double bytes = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      bytes += static_cast<double>(region.RegionSize);
  }
  return bytes;
}

// The bytes of the blocks in use in the process's heaps (the C runtime's among them).
double heapBytes() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  double bytes = 0;
  for (const HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heap);
  }
  return bytes;
}

Resources now() {
  return {privateBytes(), heapBytes(), static_cast<double>(wordhost::gdiObjects()),
          static_cast<double>(wordhost::userObjects())};
}

void report(const char* what, const Resources& r) {
  std::printf("  %-44s %9.0f private bytes %9.0f heap bytes %6.1f GDI %6.1f USER objects\n", what,
              r.privateBytes, r.heapBytes, r.gdi, r.user);
}

void insertControl(simword::Word& word) {
  const auto app = word.application();
  automation::call(automation::getObject(automation::getObject(app, "Selection"), "InlineShapes"),
                   "AddOLEControl", {automation::named("ClassType", u"Sealbrook.SignData")});
}

int bench(int ticks) {
  if (!wordhost::installPictures()) {
    std::fprintf(stderr, "resources_bench: cannot install the status pictures\n");
    return 1;
  }
  wordhost::RunningWord running;
  wordhost::OleContainer container(running.word());
  simword::Word& word = running.word();
  auto& document = word.open(u"Report");

  std::printf("Sealbrook.ocx in the simulated Word's process\n");
  const Resources empty = now();
  report("the process, before any control (absolute)", empty);
  insertControl(word);
  const Resources one = now();
  report("the first control (the library loads with it)", one - empty);
  constexpr int kMore = 10;
  for (int i = 0; i < kMore; ++i) insertControl(word);
  const Resources more = now();
  report("each further control (average of 10)", (more - one) / kMore);
  word.close(document);
  word.log().clear();  // the simulated Word's record of the calls is not the control's
  const Resources closed = now();
  report("their document closed", closed - empty);
  for (int round = 0; round < 3; ++round) {
    auto& again = word.open(u"Again");
    for (int i = 0; i < kMore; ++i) insertControl(word);
    word.close(again);
    word.log().clear();
  }
  report("10 more opened and closed, 3 times over", now() - closed);

  // The soak: one control in a signed document, its status changing every other tick.
  auto& signedDocument = word.open(u"Signed");
  insertControl(word);
  {
    const auto signatures = automation::getObject(
        automation::getObject(word.application(), "ActiveDocument"), "Signatures");
    automation::call(signatures, "Add");
    automation::call(signatures, "Commit");
  }
  auto tick = [&](int n) {
    for (int i = 0; i < n; ++i) {
      if (i % 2 == 0)
        signedDocument.signatures[0].markedInvalid = !signedDocument.signatures[0].markedInvalid;
      wordhost::fireTimers(1);
      if (i % 100 == 99) word.log().clear();
    }
    word.log().clear();  // the simulated Word's record of the calls is not the control's
  };
  // Warm-up: both pictures loaded once, and the simulated Word's call record at its full size.
  tick(200);
  const Resources before = now();
  tick(ticks);
  std::printf("  %d refreshes of one control, the status changing every other one:\n", ticks);
  report("the change over them", now() - before);
  word.close(signedDocument);
  wordhost::removePictures();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10000;
  if (FAILED(OleInitialize(nullptr))) return 2;
  int status = 1;
  try {
    status = bench(ticks);
  } catch (const automation::Error& e) {
    std::fprintf(stderr, "resources_bench: %s (is Sealbrook.ocx registered?)\n",
                 text::toUtf8(e.description()).c_str());
  }
  OleUninitialize();
  return status;
}
