// The two libraries' registrations: their identities, fixed once for every build (documents and
// the registry hold them; the IDL files declare the same), and the rows each build writes. Used
// by self-registration and by the installer's tables, so both write the same.
#pragma once

#include <string>

#include "automation/guid.h"
#include "registration/keys.h"

namespace registration {

using automation::Guid;

// Penvane.dll: the add-in class Connect ("Penvane.Connect") with its interface _Connect. The
// host's IDTExtensibility2 is the host's to register.
inline constexpr Guid kPenvaneLibrary = Guid::parse("{6A304F2F-A2FE-43A0-B21C-4CF8A5D4555B}");
inline constexpr Guid kConnect = Guid::parse("{72122E6D-358D-4A2B-946F-177E22D274BC}");
inline constexpr Guid kConnectInterface = Guid::parse("{598B77D4-DFD1-4DD6-BBDC-2F978B5D11FE}");

// Sealbrook.ocx: the control class SignData ("Sealbrook.SignData") with its interface _SignData
// and its event interface __SignData.
inline constexpr Guid kSealbrookLibrary = Guid::parse("{50E56C7A-B8A2-4534-B258-F0D288084B3C}");
inline constexpr Guid kSignData = Guid::parse("{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}");
inline constexpr Guid kSignDataInterface = Guid::parse("{DEA3D560-A645-43D5-BDF6-A07383F18A83}");
inline constexpr Guid kSignDataEvents = Guid::parse("{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}");

// OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
// OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE
inline constexpr uint32_t kSignDataMiscStatus = 131473;

Library penvaneLibrary(std::u16string modulePath, Architecture architecture);
Library sealbrookLibrary(std::u16string modulePath, Architecture architecture);

}  // namespace registration
