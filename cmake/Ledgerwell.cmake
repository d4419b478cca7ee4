# SPDX-License-Identifier: GPL-3.0-or-later
# Project-wide compile settings and helpers.

add_compile_definitions(QT_NO_CONTEXTLESS_CONNECT)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra)
  if(LW_WERROR)
    add_compile_options(-Werror)
  endif()
endif()
if(LW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# lw_stage_file(SRC DEST_REL): copy a file into the installation tree at build time and install it.
function(lw_stage_file src dest)
  get_filename_component(_dir "${dest}" DIRECTORY)
  if(_dir STREQUAL "")
    set(_dir ".")
  endif()
  add_custom_command(OUTPUT "${LW_STAGE}/${dest}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${LW_STAGE}/${_dir}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${src}" "${LW_STAGE}/${dest}"
    DEPENDS "${src}" VERBATIM)
  set_property(GLOBAL APPEND PROPERTY LW_STAGED_FILES "${LW_STAGE}/${dest}")
  install(FILES "${src}" DESTINATION "${_dir}")
endfunction()

# lw_stage_program(TARGET [SUBDIR]): build an executable or library straight into the tree.
function(lw_stage_program target)
  set(_sub "${ARGN}")
  get_target_property(_type ${target} TYPE)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${LW_STAGE}/${_sub}"
    LIBRARY_OUTPUT_DIRECTORY "${LW_STAGE}/${_sub}"
    BUILD_RPATH "$ORIGIN/cell;$ORIGIN"
    INSTALL_RPATH "$ORIGIN/cell;$ORIGIN")
  if(_sub STREQUAL "")
    set(_sub ".")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION "${_sub}" LIBRARY DESTINATION "${_sub}")
endfunction()

# lw_add_test(NAME SOURCES... LIBS ...): one Qt Test suite, run offscreen with a time limit.
function(lw_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} lw_testsupport Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LW_STAGE=${LW_STAGE};LW_SOURCE=${PROJECT_SOURCE_DIR};LW_BIN=${CMAKE_BINARY_DIR}")
endfunction()

# lw_add_subfolders([EXCEPT name...]): adds every subfolder that has a CMakeLists.txt, in order.
function(lw_add_subfolders)
  cmake_parse_arguments(S "" "" "EXCEPT" ${ARGN})
  file(GLOB _dirs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _dirs)
  foreach(_d IN LISTS _dirs)
    if(NOT _d IN_LIST S_EXCEPT AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_d}/CMakeLists.txt)
      add_subdirectory(${_d})
    endif()
  endforeach()
endfunction()
