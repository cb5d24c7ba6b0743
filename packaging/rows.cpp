// Prints the WiX component of one build of a library: its file and its registration rows.
//   rows Penvane|Sealbrook x64|x86 machine|user FOLDER SOURCE [X64FOLDER]
// FOLDER is the formatted text of the folder the package installs the file to, without a
// trailing backslash ("[ProgramFiles64Folder]ChuKySo"); SOURCE the file on this machine;
// X64FOLDER, for the x86 build, the x64 build's folder when the package installs both. The
// component and its file are named "<Library>.<architecture>": the package refers to the file's
// installed path as [#Penvane.x64].
#include <cstdio>
#include <string>

#include "base/unicode.h"
#include "packaging/wix_rows.h"

int main(int argc, char** argv) {
  const std::string usage =
      "usage: rows Penvane|Sealbrook x64|x86 machine|user FOLDER SOURCE [X64FOLDER]\n";
  if (argc != 6 && argc != 7) {
    std::fputs(usage.c_str(), stderr);
    return 2;
  }
  const std::string library = argv[1], architecture = argv[2], scope = argv[3];
  if ((architecture != "x64" && architecture != "x86") || (scope != "machine" && scope != "user") ||
      std::string(argv[4]).empty()) {
    std::fputs(usage.c_str(), stderr);
    return 2;
  }
  packaging::Placement placement{
      architecture == "x64" ? registration::Architecture::X64 : registration::Architecture::X86,
      scope == "machine" ? packaging::Scope::Machine : packaging::Scope::User,
      library + "." + architecture,
      library == "Sealbrook" ? "Sealbrook.ocx" : library + ".dll",
      argv[5],
      text::fromUtf8(argv[4]),
      argc == 7 ? text::fromUtf8(argv[6]) : std::u16string()};
  try {
    std::fputs(packaging::libraryComponent(library, placement).c_str(), stdout);
  } catch (const packaging::RowsError& e) {
    std::fprintf(stderr, "rows: %s\n", e.what());
    return 1;
  }
  return 0;
}
