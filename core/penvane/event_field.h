// A field declared with event binding: setting it connects a listener to the events of the
// object put into it and disconnects from the object held before; clearing it disconnects. A
// failed assignment (the object is no source of those events) leaves the field as it was.
#pragma once

#include <functional>
#include <memory>

#include "automation/object.h"

namespace penvane {

class EventField {
 public:
  using Handler = std::function<void(std::string_view event, automation::Arguments& args)>;

  EventField(const automation::EventInterface& events, Handler handler)
      : events_(events), handler_(std::move(handler)) {}
  ~EventField() { clear(); }
  EventField(const EventField&) = delete;
  EventField& operator=(const EventField&) = delete;

  const automation::ObjectRef& get() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  void set(automation::ObjectRef object);
  void clear() noexcept;

 private:
  class Listener;

  const automation::EventInterface& events_;
  Handler handler_;
  automation::ObjectRef object_;
  std::shared_ptr<Listener> listener_;
  automation::ConnectionPtr connection_;
};

}  // namespace penvane
