// What a Timer1 tick of Sealbrook.ocx costs in the simulated Word through real COM: the control
// inserted through AddOLEControl into a signed document, its tick sent as the system sends it
// (wordhost::fireTimers), with the status unchanged and with the status changing at every tick.
// Prints the host calls and the microseconds a tick, the best and the median of a few runs, and
// what the platform takes to load a status picture, which a status change does once.
//
//   refresh_bench.exe [ticks a run, 300 unless given]
//
// It registers nothing: Sealbrook.ocx must be registered in the prefix (regsvr32). It puts the
// status pictures where the control reads them and takes them away at the end.
#include <objbase.h>
#include <olectl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "wordhost/ole_container.h"
#include "wordhost/pictures.h"
#include "wordhost/running_word.h"
#include "wordhost/timers.h"

#include "automation/object.h"
#include "base/error.h"
#include "base/unicode.h"

namespace {

constexpr int kRuns = 5;

struct Measured {
  double hostCalls = 0;        // a tick
  std::vector<double> micros;  // a tick, one figure a run
};

// Ticks Timer1 `ticks` times, `runs` times over; `beforeTick` prepares each tick.
template <class F>
Measured measure(simword::Word& word, int runs, int ticks, F beforeTick) {
  Measured m;
  uint64_t calls = 0;
  for (int run = 0; run < runs; ++run) {
    std::chrono::steady_clock::duration spent{};
    for (int i = 0; i < ticks; ++i) {
      beforeTick();
      const uint64_t before = word.log().next();
      const auto start = std::chrono::steady_clock::now();
      wordhost::fireTimers(1);
      spent += std::chrono::steady_clock::now() - start;
      calls += word.log().next() - before;
      if (word.log().records().size() > 10000) word.log().clear();
    }
    m.micros.push_back(std::chrono::duration<double, std::micro>(spent).count() / ticks);
  }
  m.hostCalls = static_cast<double>(calls) / (static_cast<double>(runs) * ticks);
  return m;
}

// What one status change cannot avoid: the platform's loading of the status picture.
double loadPictureMicros(int loads) {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  std::wstring path = std::wstring(folder) + L"\\Pass.gif";
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < loads; ++i) {
    com::ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicturePath(path.data(), nullptr, 0, 0, IID_IPicture, picture.putVoid())))
      return -1;
  }
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
             .count() /
         loads;
}

void report(const char* what, Measured m, int ticks) {
  std::sort(m.micros.begin(), m.micros.end());
  std::printf(
      "%-32s %6.1f host calls a tick   %9.1f us a tick (best), %9.1f (median)   "
      "%d runs of %d ticks\n",
      what, m.hostCalls, m.micros.front(), m.micros[m.micros.size() / 2],
      static_cast<int>(m.micros.size()), ticks);
}

int bench(int ticks) {
  if (!wordhost::installPictures()) {
    std::fprintf(stderr, "refresh_bench: cannot install the status pictures\n");
    return 1;
  }
  wordhost::RunningWord running;
  wordhost::OleContainer container(running.word());
  simword::Word& word = running.word();
  auto& document = word.open(u"Report");
  {
    auto app = word.application();
    automation::call(automation::getObject(automation::getObject(app, "Selection"), "InlineShapes"),
                     "AddOLEControl", {automation::named("ClassType", u"Sealbrook.SignData")});
    const auto signatures =
        automation::getObject(automation::getObject(app, "ActiveDocument"), "Signatures");
    automation::call(signatures, "Add");
    automation::call(signatures, "Commit");
  }
  auto flip = [&] { document.signatures[0].markedInvalid = !document.signatures[0].markedInvalid; };
  measure(word, 1, 100, flip);  // warm-up: both pictures loaded once, the code paged in

  report("refresh tick, status unchanged", measure(word, kRuns, ticks, [] {}), ticks);
  report("refresh tick, status changed", measure(word, kRuns, ticks, flip), ticks);
  std::printf("%-32s %9.1f us a load\n", "OleLoadPicturePath of Pass.gif", loadPictureMicros(100));
  word.close(document);
  wordhost::removePictures();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  int status = 1;
  try {
    status = bench(ticks);
  } catch (const automation::Error& e) {
    std::fprintf(stderr, "refresh_bench: %s (is Sealbrook.ocx registered?)\n",
                 text::toUtf8(e.description()).c_str());
  }
  CoUninitialize();
  return status;
}
