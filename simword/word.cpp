#include "simword/word.h"

#include <algorithm>
#include <stdexcept>

#include "host/office.h"
#include "simword/objects.h"
#include "simword/state.h"

namespace simword {
namespace {

void dropTemporary(std::vector<ControlPtr>& list) {
  list.erase(std::remove_if(list.begin(), list.end(),
                            [](const ControlPtr& c) {
                              if (c->temporary) c->deleted = true;
                              return c->temporary;
                            }),
             list.end());
  for (auto& c : list) dropTemporary(c->controls);
}

void dropSinks(std::vector<ControlPtr>& list) {
  for (auto& c : list) {
    c->sinks.clear();
    dropSinks(c->controls);
  }
}

CommandBarPtr newBar(std::u16string name) {
  auto bar = std::make_shared<CommandBar>();
  bar->name = std::move(name);
  return bar;
}

}  // namespace

Word::Word(Profile profile) : state_(std::make_shared<State>(profile)) {
  state_->bars->bars.push_back(newBar(u"Menu Bar"));
  auto exitDesignMode = newBar(u"Exit Design Mode");
  exitDesignMode->showsDesignMode = true;
  state_->bars->bars.push_back(exitDesignMode);
}

Word::~Word() {
  // Embedded controls and event sinks may hold references into the host: end them first. Nobody
  // hears of the documents that close with Word.
  state_->applicationSinks.clear();
  while (!state_->documents.empty()) close(*state_->documents.back());
  for (auto* set : state_->barSets())
    for (auto& bar : set->bars) dropSinks(bar->controls);
}

automation::ObjectRef Word::application() {
  return makeApplication(state_);
}

Profile Word::profile() const {
  return state_->profile;
}

void Word::setName(std::u16string name) {
  state_->name = std::move(name);
}
bool Word::visible() const {
  return state_->visible;
}

void Word::startedByProgram() {
  state_->visible = false;
  state_->userControl = false;
}

void Word::setActiveXControls(bool enabled) {
  state_->activeXControls = enabled;
}
bool Word::activeXControls() const {
  return state_->activeXControls;
}

CommandBarSet& Word::commandBars() {
  return *state_->bars;
}

CommandBar& Word::bar(std::u16string_view name) {
  if (auto bar = state_->bars->find(name)) return *bar;
  throw std::out_of_range("no such command bar");
}

CommandBar& Word::addBar(std::u16string name) {
  state_->bars->bars.push_back(newBar(std::move(name)));
  return *state_->bars->bars.back();
}

void Word::removeBar(std::u16string_view name) {
  auto& bars = state_->bars->bars;
  bars.erase(std::remove_if(bars.begin(), bars.end(),
                            [&](const CommandBarPtr& b) { return captionsMatch(b->name, name); }),
             bars.end());
}

void Word::removeCommandBars(bool returnNothing) {
  state_->barsAbsence = returnNothing ? State::BarsAbsence::Nothing : State::BarsAbsence::Fails;
}

CommandBarSet& Word::addExplorer() {
  state_->explorerBars = std::make_shared<CommandBarSet>();
  state_->explorerBars->bars.push_back(newBar(u"Menu Bar"));
  return *state_->explorerBars;
}

ControlPtr Word::addControl(std::vector<ControlPtr>& to, int32_t type, std::u16string caption) {
  auto control = std::make_shared<Control>();
  control->type = type;
  control->caption = std::move(caption);
  to.push_back(control);
  return control;
}

Word::ClickResult Word::click(const ControlPtr& button) {
  ClickResult result;
  const auto sinks = button->sinks;  // a sink may disconnect while it handles the click
  for (const auto& s : sinks) {
    // Click(Ctrl As CommandBarButton, CancelDefault As Boolean), positional, the second by
    // reference.
    automation::Arguments args{automation::Argument(makeControl(state_, button)),
                               automation::byRef(result.cancelDefault)};
    try {
      s.sink->onEvent("Click", args);
      ++result.delivered;
    } catch (...) {
      ++result.failed;  // Office ignores what a sink returns
    }
    result.cancelDefault = automation::toBool(args[1].value);
  }
  return result;
}

size_t Word::connectedSinks() const {
  return state_->connectedSinks();
}

size_t Word::connectedApplicationSinks() const {
  return state_->applicationSinks.size();
}

void Word::restart() {
  state_->applicationSinks.clear();
  while (!state_->documents.empty()) close(*state_->documents.back());
  for (auto* set : state_->barSets())
    for (auto& bar : set->bars) {
      dropTemporary(bar->controls);
      dropSinks(bar->controls);
    }
  state_->visible = false;
}

// Word's application events: a document opened (and so the active one changed).
Document& Word::open(std::u16string name) {
  auto document = std::make_shared<Document>();
  document->name = std::move(name);
  state_->documents.push_back(document);
  state_->active = document;
  state_->raise("DocumentOpen", {automation::Argument(makeDocument(state_, document))});
  state_->raise("DocumentChange", {});
  return *document;
}

Document* Word::activeDocument() {
  return state_->active.get();
}

bool Word::isOpen(const Document* document) const {
  return std::any_of(state_->documents.begin(), state_->documents.end(),
                     [&](const DocumentPtr& d) { return d.get() == document; });
}

automation::ObjectRef Word::document(const Document& document) {
  for (auto& d : state_->documents)
    if (d.get() == &document) return makeDocument(state_, d);
  throw std::out_of_range("no such open document");
}

void Word::activate(const Document* document) {
  for (auto& d : state_->documents)
    if (d.get() == document && state_->active != d) {
      state_->active = d;
      state_->raise("WindowActivate", {automation::Argument(makeDocument(state_, d)),
                                       automation::Argument(automation::ObjectRef())});
      state_->raise("DocumentChange", {});
    }
}

void Word::beforeSave(Document& document) {
  for (auto& d : state_->documents)
    if (d.get() == &document)
      state_->raise("DocumentBeforeSave", {automation::Argument(makeDocument(state_, d)),
                                           automation::byRef(false), automation::byRef(false)});
}

void Word::close(Document& document) {
  auto& docs = state_->documents;
  const auto it = std::find_if(docs.begin(), docs.end(),
                               [&](const DocumentPtr& d) { return d.get() == &document; });
  if (it == docs.end()) return;
  const DocumentPtr closing = *it;  // keeps the document alive while its controls close
  docs.erase(it);
  if (state_->active == closing) state_->active = docs.empty() ? nullptr : docs.back();
  closing->inlineShapes.clear();
  state_->raise("DocumentChange", {});
}

void Word::setControlFactory(ControlFactory factory) {
  state_->controlFactory = std::move(factory);
}

SigningService& Word::signing() {
  return state_->signing;
}

CallLog& Word::log() {
  return state_->log;
}

void Word::failCall(uint64_t number, automation::HResult hresult, std::u16string description) {
  state_->faults.add({number, {}, hresult, std::move(description), std::nullopt});
}

void Word::failMember(std::string member, automation::HResult hresult, std::u16string description) {
  state_->faults.add(
      {std::nullopt, std::move(member), hresult, std::move(description), std::nullopt});
}

void Word::answerMember(std::string member, automation::Variant answer) {
  state_->faults.add(
      {std::nullopt, std::move(member), automation::hr::kFail, {}, std::move(answer)});
}

void Word::clearFaults() {
  state_->faults.clear();
}

int64_t Word::outstandingReferences() const {
  return state_->outstanding;
}

}  // namespace simword
