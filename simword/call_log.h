// Every call that reaches the simulated Word, in order, with what tests need to assert on it; and
// the faults that tests plant in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/object.h"
#include "base/error.h"

namespace simword {

enum class CallKind : uint8_t { Get, Put, PutRef, Call, Query, Connect, Disconnect };

struct ArgRecord {
  std::string name;  // empty: positional
  automation::VarType type;
  std::string value;  // Variant::describe()
  bool byRef = false;
};

struct CallRecord {
  uint64_t number = 0;  // 1-based, in the order the calls arrived
  std::string object;   // the kind of host object: Application, CommandBarButton, ...
  std::string member;   // member name; for Query and Connect the interface name
  CallKind kind = CallKind::Get;
  std::vector<ArgRecord> args;  // for Put and PutRef, the value is the last one
  automation::Locale locale = automation::kUserDefaultLocale;
  automation::HResult result = automation::hr::kOk;  // for a Query that fails: E_NOINTERFACE

  // One line in the runtime's own syntax, e.g.
  //   Application.CommandBars
  //   CommandBarControls.Add(Type:=10&)
  //   CommandBarButton.Caption = "Ký"
  //   DocumentProperties.Item("Sign") @1033
  //   CommandBarControl is CommandBarButton
  //   CommandBarButton connect _CommandBarButtonEvents
  // with " !0x80004005" appended when the call failed.
  std::string str() const;
};

class CallLog {
 public:
  CallRecord& add(CallRecord record);
  const std::vector<CallRecord>& records() const { return records_; }
  std::vector<std::string> lines() const;
  // The lines from call number `from` on (1-based), for asserting on one handler's calls.
  std::vector<std::string> linesFrom(uint64_t from) const;
  uint64_t next() const { return base_ + records_.size() + 1; }  // number of the next call
  // Marks the call with that number as failed, unless the log was cleared since.
  void setResult(uint64_t number, automation::HResult result);
  void clear();

 private:
  std::vector<CallRecord> records_;
  uint64_t base_ = 0;  // calls before the last clear
};

// A planted failure: the call with that number, or every call of a member ("Add", or
// "CommandBarControls.Add"), fails with the HRESULT and description; or, given an answer, returns
// that answer instead of what Word would.
struct Fault {
  std::optional<uint64_t> callNumber;
  std::string member;
  automation::HResult hresult = automation::hr::kFail;
  std::u16string description;
  std::optional<automation::Variant> answer;
};

class FaultPlan {
 public:
  void add(Fault fault) { faults_.push_back(std::move(fault)); }
  void clear() { faults_.clear(); }
  // The fault that applies to the record, if any.
  const Fault* match(const CallRecord& record) const;

 private:
  std::vector<Fault> faults_;
};

}  // namespace simword
