// Inside the simulated Word: the base of every host object. It logs each call, applies planted
// faults, counts itself as an outstanding reference while it lives, and dispatches by member
// name through the derived class's member table.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/names.h"
#include "automation/object.h"
#include "base/error.h"
#include "simword/state.h"

namespace simword {

using automation::Arguments;
using automation::Error;
using automation::Guid;
using automation::Invoke;
using automation::Locale;
namespace hr = automation::hr;

// The arguments of one call, matched to the member's declared parameters: positional ones in
// order, named ones by name (case-insensitive). Unknown names, too many arguments and a put
// without a value fail as IDispatch fails them.
class Params {
 public:
  Params(Arguments& args, Invoke kind, const std::vector<std::string_view>& names, Locale locale);

  // The i-th declared parameter, or null when it was left out.
  const Variant* operator[](size_t i) const { return i < slots_.size() ? slots_[i] : nullptr; }
  const Variant& required(size_t i) const;
  const Variant& value() const { return *value_; }  // of a put
  Locale locale() const { return locale_; }

 private:
  std::vector<const Variant*> slots_;
  const Variant* value_ = nullptr;
  Locale locale_;
};

class HostObject : public automation::Object {
 public:
  explicit HostObject(StatePtr state);
  ~HostObject() override;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  automation::Variant invoke(std::string_view member, Invoke kind, Arguments& args,
                             Locale locale) final;
  bool supports(const Guid& iid) final;
  automation::ConnectionPtr connect(const automation::EventInterface& events,
                                    std::shared_ptr<automation::EventSink> sink) final;

  State& state() const { return *state_; }
  const StatePtr& statePtr() const { return state_; }

 protected:
  virtual std::string kind() const = 0;
  virtual automation::Variant dispatch(std::string_view member, Invoke kind, Arguments& args,
                                       Locale locale) = 0;
  virtual bool implements(const Guid& iid) const = 0;
  // Fails unless the object is a source of those events.
  virtual automation::ConnectionPtr connectEvents(const automation::EventInterface& events,
                                                  std::shared_ptr<automation::EventSink> sink);
  // Calls on an object that the host has deleted fail.
  virtual void checkAlive() const {}
  // Whether the object has a member of that name in this Word. A name it does not know fails as
  // IDispatch fails it, at the name's lookup: no call reaches Word, and none is logged.
  virtual bool knows(std::string_view member) const = 0;

 private:
  // Logs and applies faults; returns the call's number, and in `answer` a planted answer.
  uint64_t record(CallRecord r, std::optional<automation::Variant>* answer = nullptr);
  StatePtr state_;
};

// An event connection to a host object: destroying it logs the disconnection and takes the sink
// off its source's list (`sinks`, null once the source is gone).
class SinkConnection final : public automation::Connection {
 public:
  using Sinks = std::function<std::vector<ClickSink>*()>;
  SinkConnection(StatePtr state, std::string object, std::string events, uint64_t id, Sinks sinks)
      : state_(std::move(state)),
        object_(std::move(object)),
        events_(std::move(events)),
        id_(id),
        sinks_(std::move(sinks)) {}
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;
  ~SinkConnection() override;

 private:
  StatePtr state_;
  std::string object_;
  std::string events_;
  uint64_t id_;
  Sinks sinks_;
};

// A member of a host object: a property (get, and put where it can be set) or a method (get),
// from the Word that introduced it on.
template <class T>
struct Member {
  std::string_view name;
  std::vector<std::string_view> params;
  automation::Variant (T::*get)(const Params&) = nullptr;
  void (T::*put)(const Params&) = nullptr;
  Profile since = Profile::Word2003;
};

// Host objects whose members are listed in a table: static const std::vector<Member<T>>&
// T::members().
template <class T>
class TableObject : public HostObject {
 protected:
  using HostObject::HostObject;

  bool knows(std::string_view member) const final { return find(member) != nullptr; }

  automation::Variant dispatch(std::string_view member, Invoke kind, Arguments& args,
                               Locale locale) final {
    if (const Member<T>* m = find(member)) {
      auto& self = static_cast<T&>(*this);
      const Params params(args, kind, m->params, locale);
      if (kind == Invoke::Put || kind == Invoke::PutRef) {
        if (!m->put) throw Error(hr::kMemberNotFound);
        (self.*m->put)(params);
        return {};
      }
      if (!m->get) throw Error(hr::kMemberNotFound);
      return (self.*m->get)(params);
    }
    throw Error(hr::kUnknownName);
  }

 private:
  const Member<T>* find(std::string_view member) const {
    for (const auto& m : T::members())
      if (automation::sameName(m.name, member) && state().profile >= m.since) return &m;
    return nullptr;
  }
};

}  // namespace simword
