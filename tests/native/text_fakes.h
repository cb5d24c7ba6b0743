// A fake of the screen's fonts: every element in a Unicode font unless the test names the ones
// that are TCVN3 fonts.
#pragma once

#include <set>

#include "text/shown.h"

namespace text::fakes {

class Faces final : public text::Faces {
 public:
  std::set<Element> tcvn3;
  bool Tcvn3(Element element) const override { return tcvn3.count(element) != 0; }
};

}  // namespace text::fakes
