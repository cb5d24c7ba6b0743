#include "automation/object.h"

#include "base/error.h"

namespace automation {
namespace {

// The host's failure is raised, for whoever reads the diagnosis, at the line that called it.
Variant invokeAt(const Location& at, const ObjectRef& object, std::string_view member, Invoke kind,
                 Arguments& args, Locale locale) {
  if (!object) throw Error(hr::kObjectNotSet, {}, {}, at);
  try {
    return object->invoke(member, kind, args, locale);
  } catch (Error& e) {
    e.raisedAt(at);
    throw;
  }
}

}  // namespace

const EventMember* EventInterface::find(std::string_view event) const {
  for (const auto& e : events)
    if (e.name == event) return &e;
  return nullptr;
}

const EventMember* EventInterface::find(int32_t dispid) const {
  for (const auto& e : events)
    if (e.dispid == dispid) return &e;
  return nullptr;
}

Variant get(const ObjectRef& object, std::string_view member, Arguments args, Locale locale,
            Location at) {
  return invokeAt(at, object, member, Invoke::Get, args, locale);
}

void put(const ObjectRef& object, std::string_view member, Variant value, Arguments index,
         Locale locale, Location at) {
  index.emplace_back(std::move(value));
  invokeAt(at, object, member, Invoke::Put, index, locale);
}

void putRef(const ObjectRef& object, std::string_view member, ObjectRef value, Locale locale,
            Location at) {
  Arguments args{Argument(Variant(std::move(value)))};
  invokeAt(at, object, member, Invoke::PutRef, args, locale);
}

Variant call(const ObjectRef& object, std::string_view member, Arguments args, Locale locale,
             Location at) {
  return invokeAt(at, object, member, Invoke::Call, args, locale);
}

ObjectRef getObject(const ObjectRef& object, std::string_view member, Arguments args, Locale locale,
                    Location at) {
  return get(object, member, std::move(args), locale, at).asObject();
}

ObjectRef as(const ObjectRef& object, const Guid& iid) {
  if (!object) return nullptr;
  if (!object->supports(iid)) throw Error(hr::kTypeMismatch);
  return object;
}

}  // namespace automation
