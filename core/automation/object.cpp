#include "automation/object.h"

#include "base/error.h"

namespace automation {
namespace {

Object& target(const ObjectRef& object) {
  if (!object) throw Error(hr::kObjectNotSet);
  return *object;
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

Variant get(const ObjectRef& object, std::string_view member, Arguments args, Locale locale) {
  return target(object).invoke(member, Invoke::Get, args, locale);
}

void put(const ObjectRef& object, std::string_view member, Variant value, Arguments index,
         Locale locale) {
  index.emplace_back(std::move(value));
  target(object).invoke(member, Invoke::Put, index, locale);
}

void putRef(const ObjectRef& object, std::string_view member, ObjectRef value, Locale locale) {
  Arguments args{Argument(Variant(std::move(value)))};
  target(object).invoke(member, Invoke::PutRef, args, locale);
}

Variant call(const ObjectRef& object, std::string_view member, Arguments args, Locale locale) {
  return target(object).invoke(member, Invoke::Call, args, locale);
}

ObjectRef getObject(const ObjectRef& object, std::string_view member, Arguments args,
                    Locale locale) {
  return get(object, member, std::move(args), locale).asObject();
}

ObjectRef as(const ObjectRef& object, const Guid& iid) {
  if (!object) return nullptr;
  if (!object->supports(iid)) throw Error(hr::kTypeMismatch);
  return object;
}

}  // namespace automation
