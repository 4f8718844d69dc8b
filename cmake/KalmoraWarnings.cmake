# SPDX-License-Identifier: Apache-2.0
# kalmora_warnings: the warnings every target of ours compiles with. KALMORA_WERROR makes
# them errors (CI turns it on). Qt, GoogleTest, Google Benchmark and Firebird headers come
# in as system headers (imported targets, /usr/include), so only our own code is held to
# these.
option(KALMORA_WERROR "Treat compiler warnings as errors" OFF)
add_library(kalmora_warnings INTERFACE)
target_compile_options(kalmora_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wnon-virtual-dtor -Woverloaded-virtual)
if(KALMORA_WERROR)
  target_compile_options(kalmora_warnings INTERFACE -Werror)
endif()
# Qt's strictness: no silent conversion between QString and 8-bit text (which code page a
# text is in is decided where it crosses, core/text and the locale's settings), no
# narrowing conversion in a signal's connection, and const iterators that stay const.
target_compile_definitions(kalmora_warnings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_STRICT_ITERATORS)
# GCC's instrumentation for the sanitizers makes -Wmaybe-uninitialized report paths that
# cannot run (GCC's manual warns of it; here in std::variant's move). The plain build keeps
# the warning, as an error with KALMORA_WERROR, for the same code.
if(KALMORA_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(kalmora_warnings INTERFACE -Wno-maybe-uninitialized)
endif()

# kalmora_warn_every_target(dir): links kalmora_warnings into every library and program
# defined in dir and below, so that a test helper or benchmark added without it is held to
# the same warnings. Called once, after every folder has been added.
function(kalmora_warn_every_target dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE kalmora_warnings)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    kalmora_warn_every_target(${subdir})
  endforeach()
endfunction()
