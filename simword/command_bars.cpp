// CommandBars, CommandBar, CommandBarControls and the controls (popups and buttons) of the
// simulated Word, with the buttons' Click events.
#include "host/office.h"
#include "simword/host_object.h"
#include "simword/objects.h"

namespace simword {
namespace {

using automation::Variant;

// A 1-based number or a name: the two kinds of index that Office collections take.
bool numericIndex(const Variant& index, int32_t& number) {
  switch (index.type()) {
    case automation::VarType::I2:
    case automation::VarType::I4:
    case automation::VarType::R8:
      number = automation::toI4(index);
      return true;
    default:
      return false;
  }
}

class CommandBars final : public TableObject<CommandBars> {
 public:
  CommandBars(StatePtr state, std::shared_ptr<CommandBarSet> bars)
      : TableObject(std::move(state)), bars_(std::move(bars)) {}

  static const std::vector<Member<CommandBars>>& members() {
    static const std::vector<Member<CommandBars>> table = {
        {"", {"Index"}, &CommandBars::getItem},
        {"Item", {"Index"}, &CommandBars::getItem},
        {"Count", {}, &CommandBars::getCount},
        {"GetPressedMso", {"idMso"}, &CommandBars::getPressedMso, nullptr, Profile::Word2016},
    };
    return table;
  }

  Variant getItem(const Params& p) { return item(p.required(0)); }
  Variant item(const Variant& index);

 private:
  std::string kind() const override { return "CommandBars"; }
  bool implements(const Guid& iid) const override { return iid == host::kCommandBars; }
  Variant getCount(const Params&) { return static_cast<int32_t>(bars_->bars.size()); }
  // Whether the ribbon shows the control pressed: "DesignMode" while the active document is in
  // forms design mode (the Developer tab's Design Mode button). Other controls are not modelled.
  Variant getPressedMso(const Params& p) {
    const auto id = automation::toText(p.required(0));
    if (!captionsMatch(id, u"DesignMode")) throw Error(hr::kInvalidArg);
    return state().active && state().active->designMode;
  }

  std::shared_ptr<CommandBarSet> bars_;
};

class CommandBarObject final : public TableObject<CommandBarObject> {
 public:
  CommandBarObject(StatePtr state, CommandBarPtr bar)
      : TableObject(std::move(state)), bar_(std::move(bar)) {}

  static const std::vector<Member<CommandBarObject>>& members() {
    static const std::vector<Member<CommandBarObject>> table = {
        {"Name", {}, &CommandBarObject::getName},
        {"Visible", {}, &CommandBarObject::getVisible, &CommandBarObject::putVisible},
        {"Controls", {}, &CommandBarObject::getControls},
    };
    return table;
  }

 private:
  std::string kind() const override { return "CommandBar"; }
  bool implements(const Guid& iid) const override { return iid == host::kCommandBar; }

  Variant getName(const Params&) { return bar_->name; }
  // Word 2003 shows "Exit Design Mode" exactly while the active document is in design mode;
  // today's Word shows design mode on the ribbon and keeps the bar hidden.
  Variant getVisible(const Params&) {
    if (bar_->showsDesignMode)
      return state().profile == Profile::Word2003 && state().active && state().active->designMode;
    return bar_->visible;
  }
  void putVisible(const Params& p) { bar_->visible = automation::toBool(p.value()); }
  Variant getControls(const Params&);

  CommandBarPtr bar_;
};

// The controls of a bar or of a popup.
class Controls final : public TableObject<Controls> {
 public:
  Controls(StatePtr state, std::shared_ptr<std::vector<ControlPtr>> list)
      : TableObject(std::move(state)), list_(std::move(list)) {}

  static const std::vector<Member<Controls>>& members() {
    static const std::vector<Member<Controls>> table = {
        {"", {"Index"}, &Controls::getItem},
        {"Item", {"Index"}, &Controls::getItem},
        {"Count", {}, &Controls::getCount},
        {"Add", {"Type", "Id", "Parameter", "Before", "Temporary"}, &Controls::add},
    };
    return table;
  }

 private:
  std::string kind() const override { return "CommandBarControls"; }
  bool implements(const Guid& iid) const override { return iid == host::kCommandBarControls; }

  Variant getCount(const Params&) { return static_cast<int32_t>(list_->size()); }

  Variant getItem(const Params& p) {
    const Variant& index = p.required(0);
    int32_t number = 0;
    if (numericIndex(index, number)) {
      if (number < 1 || static_cast<size_t>(number) > list_->size()) throw Error(hr::kInvalidArg);
      return makeControl(statePtr(), (*list_)[static_cast<size_t>(number) - 1]);
    }
    const auto caption = automation::toText(index);
    for (const auto& c : *list_)
      if (captionsMatch(c->caption, caption)) return makeControl(statePtr(), c);
    throw Error(hr::kInvalidArg);
  }

  Variant add(const Params& p) {
    auto control = std::make_shared<Control>();
    control->type = p[0] ? automation::toI4(*p[0]) : host::kControlButton;
    if (control->type != host::kControlButton && control->type != host::kControlPopup)
      throw Error(hr::kInvalidArg);
    control->temporary = p[4] && automation::toBool(*p[4]);
    auto at = list_->end();
    if (p[3]) {
      const int32_t before = automation::toI4(*p[3]);
      if (before < 1 || static_cast<size_t>(before) > list_->size() + 1)
        throw Error(hr::kInvalidArg);
      at = list_->begin() + (before - 1);
    }
    list_->insert(at, control);
    return makeControl(statePtr(), control);
  }

  std::shared_ptr<std::vector<ControlPtr>> list_;
};

class ControlObject final : public TableObject<ControlObject> {
 public:
  ControlObject(StatePtr state, ControlPtr control)
      : TableObject(std::move(state)), control_(std::move(control)) {}

  static const std::vector<Member<ControlObject>>& members() {
    using C = ControlObject;
    static const std::vector<Member<C>> table = {
        {"Caption", {}, &C::getCaption, &C::putCaption},
        {"Style", {}, &C::getStyle, &C::putStyle},
        {"Tag", {}, &C::getTag, &C::putTag},
        {"OnAction", {}, &C::getOnAction, &C::putOnAction},
        {"Visible", {}, &C::getVisible, &C::putVisible},
        {"Type", {}, &C::getType},
        {"Delete", {"Temporary"}, &C::remove},
        {"Controls", {}, &C::getControls},
    };
    return table;
  }

 private:
  std::string kind() const override {
    if (control_->isButton()) return "CommandBarButton";
    if (control_->isPopup()) return "CommandBarPopup";
    return "CommandBarControl";
  }
  bool implements(const Guid& iid) const override {
    return iid == host::kCommandBarControl ||
           (iid == host::kCommandBarButton && control_->isButton()) ||
           (iid == host::kCommandBarPopup && control_->isPopup());
  }
  void checkAlive() const override {
    if (control_->deleted) throw Error(hr::kFail, u"The control has been deleted.");
  }
  automation::ConnectionPtr connectEvents(const automation::EventInterface& events,
                                          std::shared_ptr<automation::EventSink> sink) override {
    if (events.iid != host::kCommandBarButtonEvents || !control_->isButton())
      throw Error(hr::kNoInterface);
    checkAlive();
    const uint64_t id = state().nextSinkId++;
    control_->sinks.push_back({id, std::move(sink)});
    const std::weak_ptr<Control> control = control_;
    return std::make_unique<SinkConnection>(statePtr(), "CommandBarButton",
                                            "_CommandBarButtonEvents", id,
                                            [control]() -> std::vector<ClickSink>* {
                                              const auto alive = control.lock();
                                              return alive ? &alive->sinks : nullptr;
                                            });
  }

  Variant getCaption(const Params&) { return control_->caption; }
  void putCaption(const Params& p) { control_->caption = automation::toText(p.value()); }
  Variant getStyle(const Params&) { return control_->style; }
  void putStyle(const Params& p) { control_->style = automation::toI4(p.value()); }
  Variant getTag(const Params&) { return control_->tag; }
  void putTag(const Params& p) { control_->tag = automation::toText(p.value()); }
  Variant getOnAction(const Params&) { return control_->onAction; }
  void putOnAction(const Params& p) { control_->onAction = automation::toText(p.value()); }
  Variant getVisible(const Params&) { return control_->visible; }
  void putVisible(const Params& p) { control_->visible = automation::toBool(p.value()); }
  Variant getType(const Params&) { return control_->type; }
  Variant remove(const Params&) {
    state().remove(control_);
    return {};
  }
  Variant getControls(const Params&) {
    if (!control_->isPopup()) throw Error(hr::kUnknownName);
    return ObjectRef(std::make_shared<Controls>(
        statePtr(), std::shared_ptr<std::vector<ControlPtr>>(control_, &control_->controls)));
  }

  ControlPtr control_;
};

Variant CommandBars::item(const Variant& index) {
  int32_t number = 0;
  CommandBarPtr bar;
  if (numericIndex(index, number)) {
    if (number >= 1 && static_cast<size_t>(number) <= bars_->bars.size())
      bar = bars_->bars[static_cast<size_t>(number) - 1];
  } else {
    bar = bars_->find(automation::toText(index));
  }
  if (!bar) throw Error(hr::kInvalidArg);
  return ObjectRef(std::make_shared<CommandBarObject>(statePtr(), bar));
}

Variant CommandBarObject::getControls(const Params&) {
  return ObjectRef(std::make_shared<Controls>(
      statePtr(), std::shared_ptr<std::vector<ControlPtr>>(bar_, &bar_->controls)));
}

}  // namespace

ObjectRef makeCommandBars(const StatePtr& state, std::shared_ptr<CommandBarSet> bars) {
  return std::make_shared<CommandBars>(state, std::move(bars));
}

Variant commandBarsProperty(const StatePtr& state, const std::shared_ptr<CommandBarSet>& bars,
                            const Variant* index) {
  auto collection = std::make_shared<CommandBars>(state, bars);
  if (!index) return ObjectRef(collection);
  // CommandBars("name"): the collection's default member, Item.
  return collection->item(*index);
}

ObjectRef makeControl(const StatePtr& state, const ControlPtr& control) {
  return std::make_shared<ControlObject>(state, control);
}

}  // namespace simword
