// The block's fixed picture files, which the installation supplies and nothing in the system
// writes, and where else they are looked for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

inline constexpr std::u16string_view kSignaturePicture = u"C:\\WINDOWS\\ck copy.gif";
inline constexpr std::u16string_view kValidPicture = u"C:\\WINDOWS\\Pass.gif";
inline constexpr std::u16string_view kInvalidPicture = u"C:\\WINDOWS\\False.gif";

// Where a picture is looked for, in order: its fixed path, then the same name in each folder
// given (the Windows directory, where Windows is not on drive C; beside the control's library,
// where the pictures were installed for one user).
std::vector<std::u16string> pictureLocations(std::u16string_view fixedPath,
                                             const std::vector<std::u16string>& folders);

}  // namespace host
