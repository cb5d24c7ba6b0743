// The simulated Word as a running Windows application: its Application object exposed through
// real COM and registered in the running object table under the class of "Word.Application",
// so that GetObject finds it. It registers the ProgID too: run it only where no real Word is
// installed (a Wine prefix).
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "win32/automation/server_object.h"
#include "win32/com/com_ptr.h"

#include "simword/word.h"

namespace wordhost {

// The class identifier of Word's application object.
extern const CLSID kWordApplication;

// What the simulated Word's objects answer through COM besides IDispatch: Office's typed
// interfaces, the buttons' Click and Word's application events.
const automation::win::Interfaces& wordInterfaces();

// Word 2003 registers its Application as it starts. Today's Word registers it only once its main
// window first loses the focus (knowledge-base articles Q238975 and Q288902: until then GetObject
// and GetActiveObject fail); with two Words running, the running-object table gives the one that
// registered first.
class RunningWord {
 public:
  // Throws automation::Error when COM refuses.
  explicit RunningWord(simword::Profile profile = simword::Profile::Word2003);
  ~RunningWord();
  RunningWord(const RunningWord&) = delete;
  RunningWord& operator=(const RunningWord&) = delete;

  simword::Word& word() noexcept { return word_; }
  // Word's main window lost the focus: today's Word registers now, if it has not yet.
  void focusLeft();
  bool registered() const noexcept { return registration_ != 0; }
  // The Application object as COM clients see it.
  IDispatch* application() const noexcept { return application_.get(); }
  // Host references held by COM clients: every host object alive, and every reference to the
  // Application object beyond this one's own and the running-object table's. (Clients that
  // receive the application, from an add-in's connection or from GetObject, hold this very object;
  // it is no new host object.)
  int64_t outstandingReferences() const;

 private:
  void registerActive();

  simword::Word word_;
  com::ComPtr<IDispatch> application_;
  DWORD registration_ = 0;
  ULONG tableReferences_ = 0;  // what the registration holds on the application
};

}  // namespace wordhost
