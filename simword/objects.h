// Inside the simulated Word: the host objects, each a fresh counted reference onto the model.
// One file per family: application.cpp, command_bars.cpp, documents.cpp.
#pragma once

#include "automation/object.h"
#include "simword/state.h"

namespace simword {

using automation::ObjectRef;

ObjectRef makeApplication(const StatePtr& state);
ObjectRef makeCommandBars(const StatePtr& state, std::shared_ptr<CommandBarSet> bars);
// The collection, or with an index the named bar (CommandBars("Menu Bar")).
automation::Variant commandBarsProperty(const StatePtr& state,
                                        const std::shared_ptr<CommandBarSet>& bars,
                                        const automation::Variant* index);
ObjectRef makeControl(const StatePtr& state, const ControlPtr& control);
ObjectRef makeDocument(const StatePtr& state, const DocumentPtr& document);
ObjectRef makeInlineShapes(const StatePtr& state, const DocumentPtr& document);

// The active document, or Word's error when no document is open.
DocumentPtr activeDocument(State& state);

}  // namespace simword
