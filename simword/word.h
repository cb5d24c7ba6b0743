// The simulated Word: the host object model that the add-in and the control rely on, with what
// tests need around it. Native tests drive it directly; the Windows test host exposes the same
// objects through real COM.
//
//   simword::Word word;
//   auto app = word.application();           // a counted reference, as Word hands it out
//   word.open(u"Report");                     // the active document
//   ... run the code under test on app ...
//   word.log().lines();                       // every call, in order
//   word.outstandingReferences();             // zero once everything was released
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "simword/call_log.h"
#include "simword/model.h"

namespace simword {

struct State;

class Word {
 public:
  explicit Word(Profile profile = Profile::Word2003);
  ~Word();
  Word(const Word&) = delete;
  Word& operator=(const Word&) = delete;

  Profile profile() const;

  // A new reference to the application object.
  automation::ObjectRef application();
  void setName(std::u16string name);  // "Microsoft Word" unless set
  bool visible() const;
  // Word was started by a program (automation), not by the user: it loads its add-ins neither
  // visible nor under the user's control, until the program shows it.
  void startedByProgram();
  // Trust Center's ActiveX settings: with controls off, AddOLEControl of an ActiveX control fails,
  // and a document holding one opens with the control not created.
  void setActiveXControls(bool enabled);
  bool activeXControls() const;

  // --- Command bars ---
  // The application's bars: "Menu Bar" (empty) and "Exit Design Mode" at first.
  CommandBarSet& commandBars();
  CommandBar& bar(std::u16string_view name);  // throws std::out_of_range when there is none
  CommandBar& menuBar() { return bar(u"Menu Bar"); }
  CommandBar& addBar(std::u16string name);
  void removeBar(std::u16string_view name);
  // Application.CommandBars then fails (as on a host that has none), or returns Nothing.
  void removeCommandBars(bool returnNothing = false);
  // An explorer window (Application.ActiveExplorer) with command bars of its own, holding an
  // empty "Menu Bar".
  CommandBarSet& addExplorer();
  // Adds a control directly, as a customisation left by an earlier run or by the user.
  static ControlPtr addControl(std::vector<ControlPtr>& to, int32_t type, std::u16string caption);

  // Word's application events (ApplicationEvents4) go to every connected sink: DocumentOpen and
  // DocumentChange when a document opens, WindowActivate and DocumentChange when another becomes
  // active, DocumentChange when one closes, DocumentBeforeSave when one is saved.
  //
  // The user clicks a button: Click(Ctrl, CancelDefault) goes to every connected sink in the
  // order they connected. A sink that fails does not stop the others.
  struct ClickResult {
    bool cancelDefault = false;
    size_t delivered = 0;
    size_t failed = 0;
  };
  ClickResult click(const ControlPtr& button);
  size_t connectedSinks() const;  // the buttons' and the application's
  size_t connectedApplicationSinks() const;

  // The host process exits and starts again: documents close, event connections end, temporary
  // controls go; permanent controls stay with all their properties.
  void restart();

  // --- Documents ---
  Document& open(std::u16string name = u"Document1");  // becomes the active document
  Document* activeDocument();
  // Whether the document is open (still in Word's list).
  bool isOpen(const Document* document) const;
  // A new reference to the document's object, as its Documents item would give it.
  automation::ObjectRef document(const Document& document);
  // Makes the document active; nothing when it is not open (any more).
  void activate(const Document* document);
  void activate(Document& document) { activate(&document); }
  // The user saves the document: Word's DocumentBeforeSave, for whoever follows its events.
  void beforeSave(Document& document);
  void close(Document& document);
  // How AddOLEControl creates controls; without one it fails as for an unregistered class.
  void setControlFactory(ControlFactory factory);
  SigningService& signing();

  // --- Instrumentation ---
  CallLog& log();
  // The call with that number (as the log numbers calls) fails.
  void failCall(uint64_t number, automation::HResult hresult, std::u16string description = {});
  // Every call of the member fails: "Add", or "CommandBarControls.Add".
  void failMember(std::string member, automation::HResult hresult, std::u16string description = {});
  // Every call of the member answers this value, whatever Word would answer.
  void answerMember(std::string member, automation::Variant answer);
  void clearFaults();
  // Host object references alive now.
  int64_t outstandingReferences() const;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace simword
