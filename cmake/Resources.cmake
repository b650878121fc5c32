# mr7_add_resources(<target> <rc file> [INCLUDE_DIRS <dir>...] [DEPENDS <file>...]):
# compiles a resource script with llvm-rc and links the .res bytes into
# <target>, where the platform finds them as the module's resources.
#
# The script is UTF-8 (it says so with #pragma code_page(65001)); it may
# include "resource.h" from its own folder and <mr7res.h>, our header of the
# style and constant macros a script needs. The C preprocessor of the build
# runs first, so llvm-rc does not need clang; its dependency list, together
# with every file of the script's folder (icons, headers), decides when the
# script is compiled again. Each program links exactly one script.

find_program(MR7_LLVM_RC NAMES llvm-rc llvm-rc-14 PATHS /usr/lib/llvm-14/bin
  DOC "llvm-rc, the resource compiler")
set(MR7_RC_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/../platform/resources/rc)
get_filename_component(MR7_RC_INCLUDE_DIR ${MR7_RC_INCLUDE_DIR} ABSOLUTE)
set(MR7_RES_EMBED_SCRIPT ${MR7_RC_INCLUDE_DIR}/../embed_res.cmake)
get_filename_component(MR7_RES_EMBED_SCRIPT ${MR7_RES_EMBED_SCRIPT} ABSOLUTE)

function(mr7_add_resources target rcfile)
  cmake_parse_arguments(ARG "" "" "INCLUDE_DIRS;DEPENDS" ${ARGN})
  if(NOT MR7_LLVM_RC)
    message(FATAL_ERROR "mr7_add_resources: llvm-rc not found (install llvm-14: scripts/setup)")
  endif()
  get_filename_component(rc ${rcfile} ABSOLUTE)
  get_filename_component(rc_dir ${rc} DIRECTORY)
  get_filename_component(rc_name ${rc} NAME_WE)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(preprocessed ${out_dir}/${rc_name}.rc.i)
  set(res ${out_dir}/${rc_name}.res)
  set(embedded ${out_dir}/${rc_name}_res.cpp)
  file(MAKE_DIRECTORY ${out_dir})

  set(include_flags -I${rc_dir})
  set(rc_include_flags /I ${rc_dir})
  foreach(dir ${ARG_INCLUDE_DIRS} ${MR7_RC_INCLUDE_DIR})
    get_filename_component(dir ${dir} ABSOLUTE)
    list(APPEND include_flags -I${dir})
    list(APPEND rc_include_flags /I ${dir})
  endforeach()

  file(GLOB rc_folder_files CONFIGURE_DEPENDS ${rc_dir}/*)
  add_custom_command(
    OUTPUT ${res}
    # -undef: the host's own macros (linux, unix) must not rewrite words of
    # the script; the resource compiler's are defined instead.
    COMMAND ${CMAKE_C_COMPILER} -E -P -x c -undef -DRC_INVOKED -D_WIN32 ${include_flags}
            -MD -MF ${res}.d -MT ${res} ${rc} -o ${preprocessed}
    # The script's texts are UTF-8: llvm-rc 14 does not act on the pragma itself.
    # "--" ends the options: llvm-rc also reads "/" as an option prefix, so a
    # path such as /check/... would otherwise be taken for /C (code page).
    COMMAND ${MR7_LLVM_RC} /no-preprocess /C 65001 ${rc_include_flags} /FO ${res} -- ${preprocessed}
    DEPENDS ${rc} ${rc_folder_files} ${MR7_RC_INCLUDE_DIR}/mr7res.h ${ARG_DEPENDS}
    DEPFILE ${res}.d
    COMMENT "Compiling resources ${rcfile} for ${target}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${embedded}
    COMMAND ${CMAKE_COMMAND} -DRES=${res} -DOUT=${embedded} -P ${MR7_RES_EMBED_SCRIPT}
    DEPENDS ${res} ${MR7_RES_EMBED_SCRIPT}
    COMMENT "Embedding ${rc_name}.res into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${embedded})
endfunction()
