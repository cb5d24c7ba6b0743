#include "host/office.h"

namespace host {

const automation::EventInterface& commandBarButtonEvents() {
  static const automation::EventInterface events{
      kCommandBarButtonEvents, "_CommandBarButtonEvents", {{kClickDispId, "Click"}}};
  return events;
}

const automation::EventInterface& wordApplicationEvents() {
  static const automation::EventInterface events{kWordApplicationEvents,
                                                 "ApplicationEvents4",
                                                 {{3, "DocumentChange"},
                                                  {4, "DocumentOpen"},
                                                  {8, "DocumentBeforeSave"},
                                                  {10, "WindowActivate"}}};
  return events;
}

std::vector<Guid> typedInterfaces() {
  return {kCommandBars,     kCommandBar,       kCommandBarControls, kCommandBarControl,
          kCommandBarPopup, kCommandBarButton, kDocumentProperties, kDocumentProperty};
}

std::string_view interfaceName(const Guid& iid) {
  struct Named {
    const Guid* iid;
    std::string_view name;
  };
  static const Named names[] = {
      {&kCommandBars, "CommandBars"},
      {&kCommandBar, "CommandBar"},
      {&kCommandBarControls, "CommandBarControls"},
      {&kCommandBarControl, "CommandBarControl"},
      {&kCommandBarPopup, "CommandBarPopup"},
      {&kCommandBarButton, "CommandBarButton"},
      {&kCommandBarButtonEvents, "_CommandBarButtonEvents"},
      {&kWordApplicationEvents, "ApplicationEvents4"},
      {&kDocumentProperties, "DocumentProperties"},
      {&kDocumentProperty, "DocumentProperty"},
  };
  for (const auto& n : names)
    if (*n.iid == iid) return n.name;
  return {};
}

}  // namespace host
