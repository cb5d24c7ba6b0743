// The control's status pictures where it reads them: "ck copy.gif", "Pass.gif" and "False.gif"
// in the Windows directory, copied from the assets folder beside the executable.
#pragma once

namespace wordhost {

// Copies the three pictures into the Windows directory, replacing older copies; true when all
// three are there.
bool installPictures();
// Removes one of them, or all three.
void removePicture(const wchar_t* name);
void removePictures();

}  // namespace wordhost
