// Fakes of the add-in's ports: an in-memory settings file system with a Latin-1 ANSI code page,
// recorded message boxes, a file system for the directory search, the path form's window and the
// open-file dialog, both scripted by the test.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "penvane/connect.h"
#include "penvane/frm_path.h"
#include "penvane/ports.h"
#include "text/tcvn3.h"

namespace penvane::fakes {

class SettingsStore final : public penvane::SettingsStore {
 public:
  std::u16string systemDirectory = u"C:\\WINDOWS\\system32";
  bool systemDirectoryFails = false;
  bool readsFail = false;
  bool writesFail = false;
  // file -> "section/key" -> value, as ANSI text (here: Latin-1)
  std::map<std::u16string, std::map<std::u16string, std::u16string>> files;

  std::u16string SystemDirectory(uint32_t capacity) override {
    if (systemDirectoryFails || systemDirectory.size() + 1 > capacity)
      throw automation::Error(automation::hr::kFail, u"no system directory");
    return systemDirectory;
  }
  std::string ReadValue(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, std::string_view defaultValue) override {
    if (readsFail) throw automation::Error(automation::hr::kAccessDenied, u"locked");
    if (auto f = files.find(file); f != files.end())
      if (auto v = f->second.find(section + u"/" + key); v != f->second.end())
        return *ToCodePage(v->second);
    return std::string(defaultValue);
  }
  void WriteValue(const std::u16string& file, const std::u16string& section,
                  const std::u16string& key, std::string_view value) override {
    if (writesFail) throw automation::Error(automation::hr::kAccessDenied, u"cannot write");
    files[file][section + u"/" + key] = FromCodePage(value);
  }
  std::u16string FromCodePage(std::string_view bytes) override { return text::widenBytes(bytes); }
  std::optional<std::string> ToCodePage(std::u16string_view text) override {
    return text::narrowBytes(text);
  }
};

struct Shown {
  std::u16string prompt;
  int32_t buttons;
  std::optional<std::u16string> title;
  bool operator==(const Shown& o) const {
    return prompt == o.prompt && buttons == o.buttons && title == o.title;
  }
};

class MessageBoxes final : public penvane::MessageBoxes {
 public:
  std::vector<Shown> shown;
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override {
    shown.push_back({prompt, buttons, title});
  }
};

// Ordinary files by full path; folders, hidden and system files are there but never match.
class FileSearch final : public penvane::FileSearch {
 public:
  std::vector<std::u16string> ordinary;
  std::vector<std::u16string> notOrdinary;
  std::vector<std::u16string> searched;
  std::vector<std::u16string> folders;  // PictureFolders
  std::vector<std::u16string> PictureFolders() override { return folders; }

  std::u16string Dir(const std::u16string& path) override {
    searched.push_back(path);
    for (const auto& f : ordinary)
      if (matches(path, f)) return f.substr(f.find_last_of(u'\\') + 1);
    return {};
  }

 private:
  static bool matches(std::u16string_view pattern, std::u16string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == u'*')
      return matches(pattern.substr(1), name) ||
             (!name.empty() && matches(pattern, name.substr(1)));
    return !name.empty() && (pattern[0] == u'?' || pattern[0] == name[0]) &&
           matches(pattern.substr(1), name.substr(1));
  }
};

// The form's window: what the form asked of it, in order.
class FormWindow final : public penvane::FormWindow {
 public:
  std::vector<std::string> calls;
  std::deque<MenuItem> choices;  // the next popup menus; dismissed when none is planned
  bool createFails = false;

  void Create(FrmPath&) override {
    calls.push_back("Create");
    if (createFails) throw automation::Error(automation::hr::kOutOfMemory);
  }
  void Show() override { calls.push_back("Show"); }
  void Destroy() override {
    calls.push_back("Destroy");
    posted.clear();
  }
  MenuItem PopupMenu() override {
    calls.push_back("PopupMenu");
    if (choices.empty()) return MenuItem::None;
    const MenuItem chosen = choices.front();
    choices.pop_front();
    return chosen;
  }
  // Posted work runs as soon as it is posted, as when the host's loop comes back at once, unless
  // the test holds it to run it itself; Destroy drops what is held.
  bool holdPosts = false;
  std::vector<std::function<void()>> posted;
  void Post(std::function<void()> work) override {
    if (holdPosts)
      posted.push_back(std::move(work));
    else
      work();
  }
  void runPosted() {
    const auto work = std::move(posted);
    posted.clear();
    for (const auto& w : work) w();
  }
};

// The open-file dialog: the next answers (a file, or empty for a cancel); cancelled when none is
// planned. Records the filter and title of each dialog shown.
class FileDialog final : public penvane::FileDialog {
 public:
  std::deque<std::u16string> answers;
  std::vector<std::pair<std::u16string, std::u16string>> shown;  // filter, title
  bool fails = false;

  std::u16string ShowOpen(std::u16string_view filter, const std::u16string& title) override {
    shown.emplace_back(filter, title);
    if (fails) throw automation::Error(automation::hr::kFail, u"the dialog did not open");
    if (answers.empty()) return {};
    std::u16string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The status's timer: what it was asked, and its tick for the test to run.
class Timer final : public penvane::Timer {
 public:
  std::vector<std::string> calls;
  std::function<void()> tick;
  void Start(uint32_t milliseconds, std::function<void()> t) override {
    calls.push_back("Start " + std::to_string(milliseconds));
    tick = std::move(t);
  }
  void Stop() noexcept override {
    calls.emplace_back("Stop");
    tick = nullptr;
  }
  void TickSoon() override { calls.emplace_back("TickSoon"); }
};

// The signatures' window: the lists it showed.
class SignatureWindow final : public penvane::SignatureWindow {
 public:
  std::vector<SignatureList> shown;
  void Show(const SignatureList& list) override { shown.push_back(list); }
};

// The path form and the ports, as one loaded library holds them.
struct Library {
  SettingsStore settings;
  MessageBoxes messages;
  FileSearch files;
  FormWindow formWindow;
  FileDialog fileDialog;
  Timer statusTimer;
  SignatureWindow signatures;
  FrmPath frmPath{formWindow, fileDialog, messages};
  Platform platform{settings, files, messages, statusTimer, signatures};
};

}  // namespace penvane::fakes
