// What the two libraries know of the host's published interfaces: the GUIDs of the Office typed
// interfaces they ask for, the button event interface, and the constants they pass.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "automation/guid.h"
#include "automation/object.h"

namespace host {

using automation::Guid;

// Office command bars (the Office 11 generation of the object model).
inline constexpr Guid kCommandBars = Guid::parse("{000C0302-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBar = Guid::parse("{000C0304-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBarControls = Guid::parse("{000C0306-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBarControl = Guid::parse("{000C0308-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBarPopup = Guid::parse("{000C030A-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBarButton = Guid::parse("{000C030E-0000-0000-C000-000000000046}");
inline constexpr Guid kCommandBarButtonEvents =
    Guid::parse("{000C0351-0000-0000-C000-000000000046}");
// Office document properties.
inline constexpr Guid kDocumentProperties = Guid::parse("{2DF8D04D-5BFA-101B-BDE5-00AA0044DE52}");
inline constexpr Guid kDocumentProperty = Guid::parse("{2DF8D04E-5BFA-101B-BDE5-00AA0044DE52}");

// The button events: Click(Ctrl As CommandBarButton, CancelDefault As Boolean) with dispid 1.
inline constexpr int32_t kClickDispId = 1;
const automation::EventInterface& commandBarButtonEvents();

// Word's application events (ApplicationEvents4) that the add-in follows: DocumentChange (3),
// DocumentOpen (4), DocumentBeforeSave (8), WindowActivate (10).
inline constexpr Guid kWordApplicationEvents =
    Guid::parse("{00020A01-0000-0000-C000-000000000046}");
const automation::EventInterface& wordApplicationEvents();

// The name of a typed interface above, for logs; empty when unknown.
std::string_view interfaceName(const Guid& iid);
// The typed interfaces above (not the event interfaces).
std::vector<Guid> typedInterfaces();

// MsoControlType, MsoButtonStyle, MsoDocProperties.
inline constexpr int32_t kControlButton = 1;
inline constexpr int32_t kControlPopup = 10;
inline constexpr int32_t kButtonCaption = 2;
inline constexpr int32_t kPropertyTypeString = 4;

}  // namespace host
