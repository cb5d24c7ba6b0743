#include "simword/call_log.h"

#include <cstdio>

namespace simword {
namespace {

std::string argumentList(const std::vector<ArgRecord>& args, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += ", ";
    if (!args[i].name.empty()) out += args[i].name + ":=";
    out += args[i].value;
  }
  return out;
}

}  // namespace

std::string CallRecord::str() const {
  std::string out;
  const bool isPut = kind == CallKind::Put || kind == CallKind::PutRef;
  const size_t indexCount = isPut && !args.empty() ? args.size() - 1 : args.size();
  switch (kind) {
    case CallKind::Query:
      out = object + " is " + member;
      break;
    case CallKind::Connect:
      out = object + " connect " + member;
      break;
    case CallKind::Disconnect:
      out = object + " disconnect " + member;
      break;
    default:
      if (kind == CallKind::PutRef) out = "Set ";
      out += object + "." + member;
      if (kind == CallKind::Call || indexCount > 0)
        out += "(" + argumentList(args, indexCount) + ")";
      if (isPut && !args.empty()) out += " = " + args.back().value;
  }
  if (locale != automation::kUserDefaultLocale) out += " @" + std::to_string(locale);
  if (result != automation::hr::kOk) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " !0x%08X", static_cast<unsigned>(result));
    out += buf;
  }
  return out;
}

CallRecord& CallLog::add(CallRecord record) {
  record.number = base_ + records_.size() + 1;
  records_.push_back(std::move(record));
  return records_.back();
}

std::vector<std::string> CallLog::lines() const {
  return linesFrom(base_ + 1);
}

std::vector<std::string> CallLog::linesFrom(uint64_t from) const {
  std::vector<std::string> out;
  for (const auto& r : records_)
    if (r.number >= from) out.push_back(r.str());
  return out;
}

void CallLog::setResult(uint64_t number, automation::HResult result) {
  if (number > base_ && number - base_ <= records_.size())
    records_[number - base_ - 1].result = result;
}

void CallLog::clear() {
  base_ += records_.size();
  records_.clear();
}

const Fault* FaultPlan::match(const CallRecord& record) const {
  for (const auto& f : faults_) {
    if (f.callNumber) {
      if (*f.callNumber == record.number) return &f;
    } else if (f.member == record.member || f.member == record.object + "." + record.member) {
      return &f;
    }
  }
  return nullptr;
}

}  // namespace simword
