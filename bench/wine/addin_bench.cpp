// Penvane.dll's start-up in the simulated Word through real COM, and what loading either library
// costs, under Wine. Prints the figures of BENCHMARKS.md:
//   - loading each library as COM does (LoadLibrary, DllGetClassObject, IClassFactory::
//     CreateInstance): first in a fresh process (each run a child process of its own), again
//     after it was unloaded, and while it is loaded; the system libraries it imports are loaded
//     first, as Word has them;
//   - the add-in's start-up as Word runs it (CoCreateInstance of Penvane.Connect, OnConnection
//     in start-up mode, OnStartupComplete), each of a series of starts of the simulated Word:
//     median and 95th percentile of the whole, of OnConnection and of OnStartupComplete, and the
//     share of the host calls in it. The host calls are timed where they enter the simulated
//     Word's object model; the rest is the add-in's own share (with the host's IDispatch layer,
//     which converts the calls' arguments, counted in the add-in's share: an upper bound).
//   Two series: with the path form loaded already (the second start-up of a library in a
//   process), and with the form loading at each start, which shows its open-file dialog (a
//   dialog driver cancels it as it opens).
//
//   addin_bench.exe [starts a series, 100 unless given]
//
// It registers nothing: Penvane.dll and Sealbrook.ocx must be registered in the prefix (regsvr32;
// scripts/bench does).
#include <windows.h>

#include <objbase.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "win32/automation/server_object.h"
#include "win32/com/com_ptr.h"
#include "win32/com/guid.h"
#include "win32/penvane/window_names.h"
#include "wordhost/dialogs.h"
#include "wordhost/process.h"
#include "wordhost/running_word.h"

#include "automation/object.h"
#include "base/error.h"
#include "base/unicode.h"
#include "extensibility.h"
#include "registration/libraries.h"

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Median and 95th percentile of a series of microseconds.
struct Spread {
  double median = 0;
  double p95 = 0;
};
Spread spread(std::vector<double> v) {
  if (v.empty()) return {};
  std::sort(v.begin(), v.end());
  const size_t p95 = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(v.size()))) - 1;
  return {v[v.size() / 2], v[p95]};
}

// --- Loading a library ---------------------------------------------------------------------------

struct Library {
  const wchar_t* file;
  automation::Guid clsid;
};
const Library kLibraries[] = {{L"Penvane.dll", registration::kConnect},
                              {L"Sealbrook.ocx", registration::kSignData}};

// One load as COM makes it: the three steps in microseconds; negative when a step failed.
struct Load {
  double library = -1, classObject = -1, instance = -1;
  double total() const { return library + classObject + instance; }
};

// Loads the library, creates one object and releases everything; the library stays loaded when
// the caller holds a reference of its own.
Load loadOnce(const std::wstring& path, const GUID& clsid) {
  Load load;
  const auto t0 = Clock::now();
  const HMODULE module = LoadLibraryW(path.c_str());
  const auto t1 = Clock::now();
  if (!module) return load;
  load.library = micros(t1 - t0);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  {
    com::ComPtr<IClassFactory> factory;
    com::ComPtr<IUnknown> object;
    const auto t2 = Clock::now();
    if (get && SUCCEEDED(get(clsid, IID_IClassFactory, factory.putVoid()))) {
      const auto t3 = Clock::now();
      load.classObject = micros(t3 - t2);
      if (SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid())))
        load.instance = micros(Clock::now() - t3);
    }
  }
  FreeLibrary(module);
  return load;
}

// The system libraries that ours import, loaded as they are in Word's process before any add-in,
// so that a load measures our library alone.
void loadSystemLibraries() {
  for (const wchar_t* system : {L"user32.dll", L"gdi32.dll", L"advapi32.dll", L"ole32.dll",
                                L"oleaut32.dll", L"comdlg32.dll", L"shell32.dll", L"msvcrt.dll"})
    LoadLibraryW(system);
}

// The child's run: the first load of the library in this process, as "library class instance".
int firstLoad(const wchar_t* file) {
  loadSystemLibraries();
  for (const Library& library : kLibraries) {
    if (_wcsicmp(library.file, file) != 0) continue;
    const Load load = loadOnce(wordhost::executableFolder() + file, com::toGuid(library.clsid));
    std::printf("%.1f %.1f %.1f\n", load.library, load.classObject, load.instance);
    return load.instance < 0 ? 1 : 0;
  }
  return 2;
}

// Runs this program as a child that loads the library first in its process; its figures.
Load firstLoadInChild(const wchar_t* file) {
  Load load;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return load;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --first-load " + file;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  char buffer[256];
  DWORD read = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read)
    output.append(buffer, read);
  CloseHandle(readEnd);
  if (!started) return load;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (std::sscanf(output.c_str(), "%lf %lf %lf", &load.library, &load.classObject,
                  &load.instance) != 3)
    return {};
  return load;
}

void reportLoads(const char* what, const std::vector<Load>& loads) {
  std::vector<double> library, classObject, instance, total;
  for (const Load& l : loads) {
    if (l.instance < 0) {
      std::printf("  %-34s failed\n", what);
      return;
    }
    library.push_back(l.library);
    classObject.push_back(l.classObject);
    instance.push_back(l.instance);
    total.push_back(l.total());
  }
  const Spread t = spread(total), l = spread(library), c = spread(classObject),
               i = spread(instance);
  std::printf(
      "  %-34s %8.1f us median, %8.1f p95   (LoadLibrary %.1f, DllGetClassObject %.1f, "
      "CreateInstance %.1f: medians)   %zu loads\n",
      what, t.median, t.p95, l.median, c.median, i.median, loads.size());
}

void loads(int firstLoads, int repeats) {
  std::printf(
      "Loading a library as COM does (LoadLibrary + DllGetClassObject + CreateInstance), the "
      "system libraries it imports loaded already\n");
  loadSystemLibraries();
  for (const Library& library : kLibraries) {
    const std::wstring path = wordhost::executableFolder() + library.file;
    const GUID clsid = com::toGuid(library.clsid);
    const std::string name(library.file, library.file + wcslen(library.file));  // ASCII
    std::vector<Load> cold, again, warm;
    for (int i = 0; i < firstLoads; ++i) cold.push_back(firstLoadInChild(library.file));
    for (int i = 0; i < repeats; ++i) again.push_back(loadOnce(path, clsid));
    const bool unloads = GetModuleHandleW(path.c_str()) == nullptr;
    const HMODULE held = LoadLibraryW(path.c_str());
    loadOnce(path, clsid);
    for (int i = 0; i < repeats; ++i) warm.push_back(loadOnce(path, clsid));
    if (held) FreeLibrary(held);
    reportLoads((name + ", first in a process").c_str(), cold);
    reportLoads((name + (unloads ? ", again after unloading" : ", again (stays loaded)")).c_str(),
                again);
    reportLoads((name + ", while loaded").c_str(), warm);
  }
}

// --- The add-in's start-up
// --------------------------------------------------------------------------

// The time spent in the simulated Word: every call that enters its object model from outside.
struct HostTime {
  Clock::duration spent{};
  int64_t calls = 0;
};

// A host object whose calls are timed; the objects it returns are timed too.
class TimedObject final : public automation::Object {
 public:
  TimedObject(automation::ObjectRef inner, HostTime& time)
      : inner_(std::move(inner)), time_(time) {}

  static automation::ObjectRef wrap(automation::ObjectRef inner, HostTime& time) {
    if (!inner) return inner;
    return std::make_shared<TimedObject>(std::move(inner), time);
  }

  automation::Variant invoke(std::string_view member, automation::Invoke kind,
                             automation::Arguments& args, automation::Locale locale) override {
    automation::Variant result = timed([&] { return inner_->invoke(member, kind, args, locale); });
    if (result.isObject()) return wrap(result.asObject(), time_);
    return result;
  }
  bool supports(const automation::Guid& iid) override {
    return timed([&] { return inner_->supports(iid); });
  }
  automation::ConnectionPtr connect(const automation::EventInterface& events,
                                    std::shared_ptr<automation::EventSink> sink) override {
    return timed([&] { return inner_->connect(events, std::move(sink)); });
  }

 private:
  template <class F>
  auto timed(F&& call) -> decltype(call()) {
    struct Stop {
      HostTime& time;
      Clock::time_point start = Clock::now();
      ~Stop() {
        time.spent += Clock::now() - start;
        ++time.calls;
      }
    } stop{time_};
    return call();
  }

  automation::ObjectRef inner_;
  HostTime& time_;
};

// The COMAddIn object that Word passes to OnConnection; the add-in does not read it.
class AddInObject final : public automation::Object {
 public:
  automation::Variant invoke(std::string_view, automation::Invoke, automation::Arguments&,
                             automation::Locale) override {
    throw automation::Error(automation::hr::kUnknownName);
  }
  bool supports(const automation::Guid&) override { return false; }
  automation::ConnectionPtr connect(const automation::EventInterface&,
                                    std::shared_ptr<automation::EventSink>) override {
    throw automation::Error(automation::hr::kNoInterface);
  }
};

// One start-up, in microseconds, and the host's part of it.
struct Start {
  double create = 0, connection = 0, completion = 0;
  double host = 0;
  int64_t hostCalls = 0;
  double total() const { return create + connection + completion; }
};

class StartUps {
 public:
  StartUps()
      : application_(automation::win::ServerObject::wrap(
            TimedObject::wrap(running_.word().application(), host_), wordhost::wordInterfaces())),
        addInInst_(automation::win::ServerObject::wrap(std::make_shared<AddInObject>())) {
    if (FAILED(CLSIDFromProgID(L"Penvane.Connect", &clsid_)))
      throw automation::Error(automation::hr::kClassNotRegistered);
  }

  // Word starts, loads the add-in and completes its start-up; then it shuts down as Word does.
  Start start() {
    Start s;
    host_ = {};
    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    com::ComPtr<IDTExtensibility2> addin;
    const auto t0 = Clock::now();
    const HRESULT created = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER,
                                             __uuidof(IDTExtensibility2), addin.putVoid());
    const auto t1 = Clock::now();
    if (FAILED(created)) throw automation::Error(created);
    addin->OnConnection(application_.get(), ext_cm_Startup, addInInst_.get(), &custom);
    const auto t2 = Clock::now();
    addin->OnStartupComplete(&custom);
    const auto t3 = Clock::now();
    s.create = micros(t1 - t0);
    s.connection = micros(t2 - t1);
    s.completion = micros(t3 - t2);
    s.host = micros(host_.spent);
    s.hostCalls = host_.calls;
    addin->OnBeginShutdown(&custom);
    addin->OnDisconnection(ext_dm_HostShutdown, &custom);
    addin = nullptr;
    SafeArrayDestroy(custom);
    running_.word().restart();
    running_.word().log().clear();
    return s;
  }

  wordhost::DialogDriver& dialogs() { return dialogs_; }

 private:
  wordhost::RunningWord running_;
  wordhost::DialogDriver dialogs_;
  HostTime host_;
  com::ComPtr<IDispatch> application_;
  com::ComPtr<IDispatch> addInInst_;
  CLSID clsid_{};
};

// The path form's hidden window, which the add-in keeps loaded between start-ups; closing it
// unloads the form, so that the next start-up loads it again and shows its open-file dialog.
void unloadPathForm() {
  if (const HWND form = FindWindowW(penvane::win::kFormClass, nullptr))
    SendMessageW(form, WM_CLOSE, 0, 0);
}

void reportStarts(const char* what, const std::vector<Start>& starts) {
  std::vector<double> total, create, connection, completion, host, own;
  int64_t hostCalls = 0;
  for (const Start& s : starts) {
    total.push_back(s.total());
    create.push_back(s.create);
    connection.push_back(s.connection);
    completion.push_back(s.completion);
    host.push_back(s.host);
    own.push_back(s.connection + s.completion - s.host);
    hostCalls = s.hostCalls;
  }
  std::printf("%s: %zu starts, %lld host calls a start\n", what, starts.size(),
              static_cast<long long>(hostCalls));
  auto line = [](const char* figure, const std::vector<double>& v) {
    const Spread s = spread(v);
    std::printf("  %-52s %9.1f us median, %9.1f p95\n", figure, s.median, s.p95);
  };
  line("start-up (CoCreateInstance to completion)", total);
  line("CoCreateInstance (COM finds the loaded library)", create);
  line("OnConnection", connection);
  line("OnStartupComplete", completion);
  line("the host calls in the callbacks", host);
  line("the add-in's own share (the callbacks less the host)", own);
}

int bench(int starts) {
  loads(20, starts);
  std::printf("\n");

  // The open-file dialog opens in the current folder, as the user's documents folder would be: a
  // small one.
  wchar_t folder[MAX_PATH];
  if (GetTempPathW(MAX_PATH, folder)) SetCurrentDirectoryW(folder);
  StartUps word;
  // The first start-up in the process: the library loads, and its form with the dialog.
  word.dialogs().cancelFile();
  const Start first = word.start();
  std::printf("First start-up in the process (the library loads; its open-file dialog shows):\n");
  std::printf("  %-52s %9.1f us (CoCreateInstance %.1f, host calls %.1f)\n", "start-up",
              first.total(), first.create, first.host);
  std::printf("\n");

  std::vector<Start> formLoaded, withDialog;
  for (int i = 0; i < starts; ++i) formLoaded.push_back(word.start());
  for (int i = 0; i < starts; ++i) {
    unloadPathForm();
    word.dialogs().cancelFile();
    withDialog.push_back(word.start());
  }
  const size_t dialogsShown = word.dialogs().fileDialogs().size();
  reportStarts("Start-up, the path form loaded already (no dialog)", formLoaded);
  std::printf("\n");
  reportStarts("Start-up, the path form loading (its open-file dialog shown and cancelled)",
               withDialog);
  std::printf("  (%zu open-file dialogs shown in all)\n", dialogsShown);
  unloadPathForm();
  return dialogsShown == static_cast<size_t>(starts) + 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--first-load") {
    if (FAILED(OleInitialize(nullptr))) return 2;
    const std::string file = argv[2];
    const int status = firstLoad(std::wstring(file.begin(), file.end()).c_str());
    OleUninitialize();
    return status;
  }
  const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  if (FAILED(OleInitialize(nullptr))) return 2;
  int status = 1;
  try {
    status = bench(starts);
  } catch (const automation::Error& e) {
    std::fprintf(stderr, "addin_bench: %s (are Penvane.dll and Sealbrook.ocx registered?)\n",
                 text::toUtf8(e.description()).c_str());
  }
  OleUninitialize();
  return status;
}
