// The simulated Word as a running Windows application: its Application object exposed through
// real COM and registered in the running object table under the class of "Word.Application",
// so that GetObject finds it. It registers the ProgID too: run it only where no real Word is
// installed (a Wine prefix).
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "win32/com/com_ptr.h"

#include "simword/word.h"

namespace wordhost {

// The class identifier of Word's application object.
extern const CLSID kWordApplication;

class RunningWord {
 public:
  RunningWord();  // throws automation::Error when COM refuses
  ~RunningWord();
  RunningWord(const RunningWord&) = delete;
  RunningWord& operator=(const RunningWord&) = delete;

  simword::Word& word() noexcept { return word_; }
  // The Application object as COM clients see it.
  IDispatch* application() const noexcept { return application_.get(); }
  // Host references held by COM clients and by the running object table: every host object
  // alive, and every reference to the Application object beyond this one's own. (Clients that
  // receive the application, from an add-in's connection or from GetObject, hold this very object;
  // it is no new host object.)
  int64_t outstandingReferences() const;

 private:
  simword::Word word_;
  com::ComPtr<IDispatch> application_;
  DWORD registration_ = 0;
};

}  // namespace wordhost
