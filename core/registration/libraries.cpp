#include "registration/libraries.h"

namespace registration {
namespace {

// The controls' category "safe for initialising": the control reads nothing from the document
// but its extent.
constexpr Guid kSafeForInitializing = Guid::parse("{7DD95802-9882-11CF-9FA9-00AA006C42C4}");
constexpr uint32_t kControlLibraryFlag = 2;  // LIBFLAG_FCONTROL
constexpr uint32_t kEnglishUnitedStates = 0x0409;

}  // namespace

Library penvaneLibrary(std::u16string modulePath, Architecture architecture) {
  Library library({kPenvaneLibrary, 1, 0, u"Penvane", 0, kEnglishUnitedStates},
                  std::move(modulePath), architecture);
  library.addClass({kConnect, u"Penvane.Connect", u"Penvane.Connect"})
      .addInterface(kConnectInterface, u"_Connect");
  return library;
}

Library sealbrookLibrary(std::u16string modulePath, Architecture architecture) {
  Library library({kSealbrookLibrary, 100, 0, u"Sealbrook", kControlLibraryFlag, 0},
                  std::move(modulePath), architecture);
  library.addClass({kSignData, u"Sealbrook.SignData", u"Sealbrook.SignData"})
      .addControl(kSignData, {kSignDataMiscStatus, 1, {kSafeForInitializing}})
      .addInterface(kSignDataInterface, u"_SignData")
      .addInterface(kSignDataEvents, u"__SignData", InterfaceKind::Dispatch);
  return library;
}

}  // namespace registration
