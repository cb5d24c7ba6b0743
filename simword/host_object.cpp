#include "simword/host_object.h"

#include "host/office.h"

namespace simword {
namespace {

CallKind callKind(Invoke kind) {
  switch (kind) {
    case Invoke::Get:
      return CallKind::Get;
    case Invoke::Put:
      return CallKind::Put;
    case Invoke::PutRef:
      return CallKind::PutRef;
    case Invoke::Call:
      return CallKind::Call;
  }
  return CallKind::Call;
}

std::string interfaceLabel(const Guid& iid) {
  const auto name = host::interfaceName(iid);
  return name.empty() ? iid.str() : std::string(name);
}

}  // namespace

Params::Params(Arguments& args, Invoke kind, const std::vector<std::string_view>& names,
               Locale locale)
    : slots_(names.size(), nullptr), locale_(locale) {
  size_t positional = 0;
  size_t count = args.size();
  if (kind == Invoke::Put || kind == Invoke::PutRef) {
    if (count == 0 || !args.back().name.empty()) throw Error(hr::kParamNotOptional);
    value_ = &args.back().value;
    --count;
  }
  for (size_t i = 0; i < count; ++i) {
    const auto& a = args[i];
    if (a.name.empty()) {
      if (positional >= names.size()) throw Error(hr::kBadParamCount);
      slots_[positional++] = &a.value;
      continue;
    }
    size_t slot = 0;
    while (slot < names.size() && !automation::sameName(names[slot], a.name)) ++slot;
    if (slot == names.size() || slots_[slot]) throw Error(hr::kParamNotFound);
    slots_[slot] = &a.value;
  }
}

const Variant& Params::required(size_t i) const {
  if (const Variant* v = (*this)[i]) return *v;
  throw Error(hr::kParamNotOptional);
}

HostObject::HostObject(StatePtr state) : state_(std::move(state)) {
  ++state_->outstanding;
}

HostObject::~HostObject() {
  --state_->outstanding;
}

uint64_t HostObject::record(CallRecord r, std::optional<automation::Variant>* answer) {
  r.object = kind();
  auto& added = state_->log.add(std::move(r));
  if (const Fault* f = state_->faults.match(added)) {
    if (f->answer && answer) {
      *answer = f->answer;
      return added.number;
    }
    added.result = f->hresult;
    throw Error(f->hresult, f->description);
  }
  return added.number;
}

automation::Variant HostObject::invoke(std::string_view member, Invoke kind, Arguments& args,
                                       Locale locale) {
  if (!knows(member)) throw Error(hr::kUnknownName);
  CallRecord r;
  r.member = member.empty() ? "_Default" : std::string(member);
  r.kind = callKind(kind);
  r.locale = locale;
  for (const auto& a : args)
    r.args.push_back({a.name, a.value.type(), a.value.describe(), a.byRef});
  std::optional<automation::Variant> answer;
  const uint64_t number = record(std::move(r), &answer);
  try {
    checkAlive();
    if (answer) return *answer;
    return dispatch(member, kind, args, locale);
  } catch (const Error& e) {
    state_->log.setResult(number, e.hresult());
    throw;
  }
}

bool HostObject::supports(const Guid& iid) {
  CallRecord r;
  r.member = interfaceLabel(iid);
  r.kind = CallKind::Query;
  try {
    const uint64_t number = record(std::move(r));
    if (implements(iid)) return true;
    state_->log.setResult(number, hr::kNoInterface);
    return false;
  } catch (const Error&) {
    return false;  // a planted fault makes the query fail
  }
}

automation::ConnectionPtr HostObject::connect(const automation::EventInterface& events,
                                              std::shared_ptr<automation::EventSink> sink) {
  CallRecord r;
  r.member = interfaceLabel(events.iid);
  r.kind = CallKind::Connect;
  record(std::move(r));
  return connectEvents(events, std::move(sink));
}

SinkConnection::~SinkConnection() {
  CallRecord r;
  r.object = object_;
  r.member = events_;
  r.kind = CallKind::Disconnect;
  state_->log.add(std::move(r));
  if (std::vector<ClickSink>* sinks = sinks_())
    for (auto it = sinks->begin(); it != sinks->end(); ++it)
      if (it->id == id_) {
        sinks->erase(it);
        break;
      }
}

// The sink goes by value: the overrides keep it.
automation::ConnectionPtr HostObject::connectEvents(
    const automation::EventInterface&,
    std::shared_ptr<automation::EventSink>) {  // NOLINT(performance-unnecessary-value-param)
  throw Error(hr::kNoInterface);
}

}  // namespace simword
