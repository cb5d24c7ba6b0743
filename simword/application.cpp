// Application, Explorer and Selection of the simulated Word.
#include "host/office.h"
#include "simword/host_object.h"
#include "simword/objects.h"

namespace simword {
namespace {

using automation::Variant;

class Application final : public TableObject<Application> {
 public:
  using TableObject::TableObject;

  static const std::vector<Member<Application>>& members() {
    static const std::vector<Member<Application>> table = {
        {"", {}, &Application::getName},
        {"Name", {}, &Application::getName},
        {"Application", {}, &Application::getApplication},
        {"Visible", {}, &Application::getVisible, &Application::putVisible},
        {"UserControl", {}, &Application::getUserControl},
        {"CommandBars", {"Index"}, &Application::getCommandBars},
        {"ActiveExplorer", {}, &Application::getActiveExplorer},
        {"ActiveDocument", {}, &Application::getActiveDocument},
        {"Selection", {}, &Application::getSelection},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Application"; }
  bool implements(const Guid&) const override { return false; }
  automation::ConnectionPtr connectEvents(const automation::EventInterface& events,
                                          std::shared_ptr<automation::EventSink> sink) override;

  Variant getName(const Params&) { return state().name; }
  Variant getApplication(const Params&) { return makeApplication(statePtr()); }
  Variant getVisible(const Params&) { return state().visible; }
  void putVisible(const Params& p) { state().visible = automation::toBool(p.value()); }
  // "If Word is visible to the user, ... this property will always return True."
  Variant getUserControl(const Params&) { return state().userControl || state().visible; }
  Variant getCommandBars(const Params& p) {
    switch (state().barsAbsence) {
      case State::BarsAbsence::Fails:
        throw Error(hr::kUnknownName);
      case State::BarsAbsence::Nothing:
        return ObjectRef();
      case State::BarsAbsence::Present:
        break;
    }
    return commandBarsProperty(statePtr(), state().bars, p[0]);
  }
  Variant getActiveExplorer(const Params&);
  Variant getActiveDocument(const Params&) {
    return makeDocument(statePtr(), activeDocument(state()));
  }
  Variant getSelection(const Params&);
};

// The explorer window of hosts that have one, with command bars of its own.
class Explorer final : public TableObject<Explorer> {
 public:
  using TableObject::TableObject;

  static const std::vector<Member<Explorer>>& members() {
    static const std::vector<Member<Explorer>> table = {
        {"CommandBars", {"Index"}, &Explorer::getCommandBars},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Explorer"; }
  bool implements(const Guid&) const override { return false; }
  Variant getCommandBars(const Params& p) {
    return commandBarsProperty(statePtr(), state().explorerBars, p[0]);
  }
};

class Selection final : public TableObject<Selection> {
 public:
  Selection(StatePtr state, DocumentPtr document)
      : TableObject(std::move(state)), document_(std::move(document)) {}

  static const std::vector<Member<Selection>>& members() {
    static const std::vector<Member<Selection>> table = {
        {"InlineShapes", {}, &Selection::getInlineShapes},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Selection"; }
  bool implements(const Guid&) const override { return false; }
  Variant getInlineShapes(const Params&) { return makeInlineShapes(statePtr(), document_); }

  DocumentPtr document_;
};

automation::ConnectionPtr Application::connectEvents(const automation::EventInterface& events,
                                                     std::shared_ptr<automation::EventSink> sink) {
  if (events.iid != host::kWordApplicationEvents) throw Error(hr::kNoInterface);
  const uint64_t id = state().nextSinkId++;
  state().applicationSinks.push_back({id, std::move(sink)});
  std::weak_ptr<State> weak = statePtr();
  return std::make_unique<SinkConnection>(statePtr(), "Application", "ApplicationEvents4", id,
                                          [weak]() -> std::vector<ClickSink>* {
                                            const auto state = weak.lock();
                                            return state ? &state->applicationSinks : nullptr;
                                          });
}

Variant Application::getActiveExplorer(const Params&) {
  if (!state().explorerBars) throw Error(hr::kUnknownName);  // Word has no explorer
  return ObjectRef(std::make_shared<Explorer>(statePtr()));
}

Variant Application::getSelection(const Params&) {
  return ObjectRef(std::make_shared<Selection>(statePtr(), activeDocument(state())));
}

}  // namespace

ObjectRef makeApplication(const StatePtr& state) {
  return std::make_shared<Application>(state);
}

DocumentPtr activeDocument(State& state) {
  if (!state.active)
    throw Error(hr::runtime(4248), u"This command is not available because no document is open.");
  return state.active;
}

}  // namespace simword
