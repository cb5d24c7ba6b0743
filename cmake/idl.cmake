# IDL with widl: a header, an identifier file and a type library per IDL file. The imports
# (oaidl.idl, ...) come from Wine's development files, stdole2.tlb from Wine's libraries.
find_path(WINE_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows REQUIRED NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
find_path(WINE_STDOLE_DIR stdole2.tlb
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
          REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(WIDL_ARCH --win64)
else()
  set(WIDL_ARCH --win32)
endif()

# cks_idl(<idl> [TYPELIB]): generates <name>.h and <name>_i.c (and <name>.tlb) in the current
# binary folder; sets <name>_IDL_OUTPUTS for add_library/add_executable.
function(cks_idl idl)
  cmake_parse_arguments(ARG "TYPELIB" "" "" ${ARGN})
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  set(flags ${WIDL_ARCH} -I${WINE_IDL_DIR} -I${PROJECT_SOURCE_DIR}/win32/idl -L${WINE_STDOLE_DIR})
  set(outputs ${out}/${name}.h ${out}/${name}_i.c)
  set(commands COMMAND ${WIDL_EXECUTABLE} ${flags} -h -o ${out}/${name}.h ${idl}
               COMMAND ${WIDL_EXECUTABLE} ${flags} -u -o ${out}/${name}_i.c ${idl})
  if(ARG_TYPELIB)
    list(APPEND outputs ${out}/${name}.tlb)
    list(APPEND commands COMMAND ${WIDL_EXECUTABLE} ${flags} -t -o ${out}/${name}.tlb ${idl})
  endif()
  file(GLOB imported ${PROJECT_SOURCE_DIR}/win32/idl/*.idl)
  add_custom_command(OUTPUT ${outputs} ${commands} DEPENDS ${idl} ${imported} VERBATIM
                     COMMENT "widl ${name}.idl")
  set(${name}_IDL_OUTPUTS ${outputs} PARENT_SCOPE)
endfunction()
