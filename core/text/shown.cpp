#include "text/shown.h"

namespace text {
namespace {

class AllTcvn3 final : public Faces {
 public:
  bool Tcvn3(Element) const override { return true; }
};

}  // namespace

const Faces& Faces::tcvn3() {
  static const AllTcvn3 instance;
  return instance;
}

bool Faces::isTcvn3Face(std::u16string_view face) {
  return face.size() >= 3 && face[0] == u'.' && (face[1] == u'V' || face[1] == u'v') &&
         (face[2] == u'n' || face[2] == u'N');
}

std::u16string shown(std::string_view tcvn3, Element element, const Faces& faces) {
  const std::u16string bytes = widenBytes(tcvn3);
  return faces.Tcvn3(element) ? bytes : TCVN3ToUnicode(bytes);
}

std::u16string shownUnicode(std::u16string_view text, Element element, const Faces& faces,
                            const AnsiCodePage& codePage) {
  return faces.Tcvn3(element) ? UnicodeToTCVN3(text, codePage) : std::u16string(text);
}

}  // namespace text
