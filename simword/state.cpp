#include "simword/state.h"

#include <algorithm>

namespace simword {
namespace {

bool removeFrom(std::vector<ControlPtr>& list, const ControlPtr& control) {
  const auto it = std::find(list.begin(), list.end(), control);
  if (it != list.end()) {
    list.erase(it);
    return true;
  }
  return std::any_of(list.begin(), list.end(),
                     [&](const ControlPtr& c) { return removeFrom(c->controls, control); });
}

size_t countSinks(const std::vector<ControlPtr>& list) {
  size_t n = 0;
  for (const auto& c : list) n += c->sinks.size() + countSinks(c->controls);
  return n;
}

}  // namespace

std::vector<CommandBarSet*> State::barSets() {
  std::vector<CommandBarSet*> sets{bars.get()};
  if (explorerBars) sets.push_back(explorerBars.get());
  return sets;
}

void State::remove(const ControlPtr& control) {
  control->deleted = true;
  control->sinks.clear();
  for (auto* set : barSets())
    for (auto& bar : set->bars)
      if (removeFrom(bar->controls, control)) return;
}

void State::raise(std::string_view event, const automation::Arguments& args) const {
  const auto sinks = applicationSinks;  // a sink may disconnect while it handles the event
  for (const auto& s : sinks) {
    automation::Arguments copy = args;
    try {
      s.sink->onEvent(event, copy);
    } catch (...) {
    }
  }
}

size_t State::connectedSinks() {
  size_t n = applicationSinks.size();
  for (auto* set : barSets())
    for (auto& bar : set->bars) n += countSinks(bar->controls);
  return n;
}

}  // namespace simword
