# Warnings are errors on every preset, native and cross.
add_compile_options(-Wall -Wextra -Werror "$<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor;-Woverloaded-virtual>")

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 at -O3 warns of overlapping memcpy inside std::string's own concatenation (GCC bug
  # 105329, fixed in 13): a warning about the standard library, not about this code.
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>")
endif()

if(CKS_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(CKS_FUZZ)
  # Coverage for libFuzzer in every object, and the sanitizers that make a fault a finding.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # COM interfaces have no virtual destructors by design; objects die through Release.
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-Wno-non-virtual-dtor>")
  # The libraries run inside other people's processes: no dependency on libstdc++/libgcc DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++ "$<$<CONFIG:Release>:-s>")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def files export the entry points under their plain names; on x86 the linker maps
    # them to the decorated stdcall symbols.
    add_link_options(-Wl,--enable-stdcall-fixup)
  endif()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
