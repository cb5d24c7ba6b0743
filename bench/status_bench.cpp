// The control's status refresh against the simulated Word, and the TCVN3 conversion of the
// verify command. A refresh runs every five seconds in every open signature block, so what it
// costs in host calls matters more than its time; both are reported.
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "sealbrook/signdata.h"
#include "simword/word.h"
#include "text/tcvn3.h"

namespace sealbrook {

// The pictures of this program: nothing but their file.
class Picture {
 public:
  explicit Picture(std::u16string_view f) : file(f) {}
  std::u16string file;
};

}  // namespace sealbrook

namespace {

// The runtime as Windows gives it: the running simulated Word, and each picture file loaded once
// while it is shown.
class Runtime final : public sealbrook::Runtime {
 public:
  explicit Runtime(simword::Word& word) : word_(word) {}
  automation::ObjectRef GetObject(std::u16string_view) override { return word_.application(); }
  sealbrook::PicturePtr LoadPicture(std::u16string_view path) override {
    auto& known = loaded_[std::u16string(path)];
    sealbrook::PicturePtr picture = known.lock();
    if (!picture) known = picture = std::make_shared<sealbrook::Picture>(path);
    return picture;
  }
  std::vector<std::u16string> PictureFolders() override { return {}; }  // every file is found
  void DoEvents() override {}
  void MsgBox(const std::u16string&, int32_t, const std::optional<std::u16string>&) override {}

 private:
  simword::Word& word_;
  std::map<std::u16string, std::weak_ptr<sealbrook::Picture>> loaded_;
};

class Surface final : public sealbrook::Surface {
 public:
  void picturesChanged() override {}
  void intervalChanged(sealbrook::TimerId, uint32_t) override {}
  sealbrook::MenuChoice PopupMenu() override { return sealbrook::MenuChoice::None; }
};

// The site of a control in Word: its container is the document that holds it.
class Site final : public sealbrook::Site {
 public:
  Site(simword::Word& word, simword::Document& document) : word_(word), document_(document) {}
  automation::ObjectRef ApplicationService() override { return nullptr; }
  automation::ObjectRef ContainerDocument() override { return word_.document(document_); }

 private:
  simword::Word& word_;
  simword::Document& document_;
};

// One Timer1 tick over a signed active document. With a status change, the first signature's
// validity flips before every tick, so that each one loads and shows the other status picture.
void refreshTick(benchmark::State& state, bool statusChanges) {
  simword::Word word;
  auto& document = word.open(u"Report");
  document.signatures.push_back(simword::SigningService::defaultSignature());
  Runtime runtime(word);
  Surface surface;
  Site site(word, document);
  sealbrook::SignData control(runtime, surface, site);
  control.Timer1_Timer();
  uint64_t hostCalls = 0;
  for (auto _ : state) {
    if (statusChanges) document.signatures[0].markedInvalid = !document.signatures[0].markedInvalid;
    const uint64_t before = word.log().next();
    control.Timer1_Timer();
    hostCalls += word.log().next() - before;
    if (word.log().records().size() > 10000) word.log().clear();
  }
  state.counters["host_calls_per_tick"] =
      benchmark::Counter(static_cast<double>(hostCalls), benchmark::Counter::kAvgIterations);
}

void BM_RefreshTickStatusUnchanged(benchmark::State& state) {
  refreshTick(state, false);
}
BENCHMARK(BM_RefreshTickStatusUnchanged);

void BM_RefreshTickStatusChanged(benchmark::State& state) {
  refreshTick(state, true);
}
BENCHMARK(BM_RefreshTickStatusChanged);

// The longest text the conversion takes, 32,766 code units: a Vietnamese name repeated, its
// letters from both blocks of the table, with ASCII between them.
void BM_UnicodeToTCVN3Longest(benchmark::State& state) {
  const std::u16string name = u"Nguy\u1EC5n Th\u1ECB \u0110\u1EB7ng \u01AFu C\u1EE5c ";
  std::u16string input;
  while (input.size() < 32766) input += name;
  input.resize(32766);
  for (auto _ : state) {
    std::u16string out = text::UnicodeToTCVN3(input);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size() * 2));
}
BENCHMARK(BM_UnicodeToTCVN3Longest)->Unit(benchmark::kMicrosecond);

}  // namespace
