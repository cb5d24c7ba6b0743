// Inside the simulated Word: the state that the facade (word.h) and the host objects share.
#pragma once

#include <memory>

#include "simword/call_log.h"
#include "simword/model.h"

namespace simword {

struct State {
  explicit State(Profile p) : profile(p) {}

  Profile profile;
  std::u16string name = u"Microsoft Word";
  bool visible = false;
  bool userControl = true;      // started by the user, not by a program
  bool activeXControls = true;  // Trust Center: ActiveX controls may be created

  std::shared_ptr<CommandBarSet> bars = std::make_shared<CommandBarSet>();
  enum class BarsAbsence { Present, Fails, Nothing } barsAbsence = BarsAbsence::Present;
  std::shared_ptr<CommandBarSet> explorerBars;  // null: no explorer

  std::vector<DocumentPtr> documents;
  DocumentPtr active;
  ControlFactory controlFactory;
  SigningService signing;

  std::vector<ClickSink> applicationSinks;  // connected to ApplicationEvents4

  CallLog log;
  FaultPlan faults;
  int64_t outstanding = 0;  // live host object references
  uint64_t nextSinkId = 1;

  // Every command bar set of the host.
  std::vector<CommandBarSet*> barSets();
  // Takes a control off whatever bar or popup holds it.
  void remove(const ControlPtr& control);
  size_t connectedSinks();
  // Raises one of the application's events on every connected sink, in the order they
  // connected; a sink that fails does not stop the others, and Word ignores what it returns.
  void raise(std::string_view event, const automation::Arguments& args) const;
};
using StatePtr = std::shared_ptr<State>;

}  // namespace simword
