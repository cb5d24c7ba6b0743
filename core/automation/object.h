// A host object reached by member name at run time: get, put, put-by-reference and call, with
// positional and named arguments and a locale; the default member has the empty name. Typed
// interfaces are asked for by GUID (QueryInterface on Windows), events are connected through an
// event interface (connection points on Windows).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "automation/guid.h"
#include "automation/variant.h"

namespace automation {

using Locale = uint32_t;
inline constexpr Locale kUserDefaultLocale = 0x0400;  // LOCALE_USER_DEFAULT
inline constexpr Locale kEnglishUnitedStates = 1033;

enum class Invoke : uint8_t { Get, Put, PutRef, Call };

// One argument of a call. A named argument carries its parameter name; a by-reference argument
// may be changed by the callee (event sinks write CancelDefault this way).
struct Argument {
  Variant value;
  std::string name;  // empty: positional
  bool byRef = false;

  // Positional, from anything a Variant is made of: call(x, "Item", {u"Menu Bar"}).
  template <class T, std::enable_if_t<std::is_constructible_v<Variant, T&&>, int> = 0>
  Argument(T&& v) : value(std::forward<T>(v)) {}  // NOLINT(google-explicit-constructor)
  Argument(std::string n, Variant v, bool ref = false)
      : value(std::move(v)), name(std::move(n)), byRef(ref) {}
};
using Arguments = std::vector<Argument>;

inline Argument named(std::string name, Variant value) {
  return {std::move(name), std::move(value)};
}
inline Argument byRef(Variant value) {
  return {{}, std::move(value), true};
}

// An event interface as the core knows it: its GUID and its events with their dispatch ids.
struct EventMember {
  int32_t dispid;
  std::string_view name;
};
struct EventInterface {
  Guid iid;
  std::string_view name;
  std::vector<EventMember> events;

  const EventMember* find(std::string_view event) const;
  const EventMember* find(int32_t dispid) const;
};

// Receives the events of one connection. Arguments are in declaration order; by-reference ones
// may be written.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void onEvent(std::string_view event, Arguments& args) = 0;
};

// A live event connection; destroying it disconnects.
class Connection {
 public:
  virtual ~Connection() = default;
};
using ConnectionPtr = std::unique_ptr<Connection>;

class Object {
 public:
  virtual ~Object() = default;

  // For Put and PutRef the value is the last argument. Arguments may be written back when they
  // are by reference.
  virtual Variant invoke(std::string_view member, Invoke kind, Arguments& args, Locale locale) = 0;
  // Whether the object implements the typed interface.
  virtual bool supports(const Guid& iid) = 0;
  // Connects the sink to the object's events of that interface; fails when the object is no
  // source of them.
  virtual ConnectionPtr connect(const EventInterface& events, std::shared_ptr<EventSink> sink) = 0;
};

// --- Calls as a handler writes them -------------------------------------------------------------
// Each raises "Object variable not set" (91) on Nothing. A failure carries the line of the call.

Variant get(const ObjectRef& object, std::string_view member, Arguments args = {},
            Locale locale = kUserDefaultLocale, Location at = Location::current());
void put(const ObjectRef& object, std::string_view member, Variant value, Arguments index = {},
         Locale locale = kUserDefaultLocale, Location at = Location::current());
void putRef(const ObjectRef& object, std::string_view member, ObjectRef value,
            Locale locale = kUserDefaultLocale, Location at = Location::current());
Variant call(const ObjectRef& object, std::string_view member, Arguments args = {},
             Locale locale = kUserDefaultLocale, Location at = Location::current());

// A property get whose result must be an object ("Object required" otherwise).
ObjectRef getObject(const ObjectRef& object, std::string_view member, Arguments args = {},
                    Locale locale = kUserDefaultLocale, Location at = Location::current());

// The object taken as a typed interface, like an assignment to a typed variable: the same object
// when it supports the interface, "Type mismatch" when it does not. Nothing stays Nothing.
ObjectRef as(const ObjectRef& object, const Guid& iid);

}  // namespace automation
