#include "penvane/event_field.h"

namespace penvane {

// The listener the host holds; it forwards to the field's handler until the field lets go, so a
// late event from the host never reaches a field that is gone.
class EventField::Listener final : public automation::EventSink {
 public:
  explicit Listener(Handler* handler) : handler_(handler) {}
  void detach() noexcept { handler_ = nullptr; }
  void onEvent(std::string_view event, automation::Arguments& args) override {
    if (handler_) (*handler_)(event, args);
  }

 private:
  Handler* handler_;
};

void EventField::set(automation::ObjectRef object) {
  if (!object) {
    clear();
    return;
  }
  auto listener = std::make_shared<Listener>(&handler_);
  auto connection = object->connect(events_, listener);  // may fail: nothing changed yet
  clear();
  object_ = std::move(object);
  listener_ = std::move(listener);
  connection_ = std::move(connection);
}

void EventField::clear() noexcept {
  if (listener_) listener_->detach();
  connection_.reset();
  listener_.reset();
  object_.reset();
}

}  // namespace penvane
