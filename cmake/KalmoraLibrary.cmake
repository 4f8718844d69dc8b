# SPDX-License-Identifier: Apache-2.0
include(KalmoraLayers)
include(KalmoraWarnings)

# kalmora_library(NAME FOLDER folder [QT] SOURCES a.cpp a.h ... [LIBS lib...])
#   A static library of the listed files of src/<folder>. Its users see its headers as
#   "<folder>/x.h" and nothing else of src/: each target's include root holds only its own
#   folder (a link in the build tree), so a header of a folder that is not linked is not
#   found. LIBS may name only libraries of lower layers (KalmoraLayers.cmake). Plain C++
#   layers leave QT out and must not include Qt headers.
function(kalmora_library name)
  cmake_parse_arguments(L "QT" "FOLDER" "SOURCES;LIBS" ${ARGN})
  list(FIND KALMORA_LAYERS ${L_FOLDER} rank)
  if(rank EQUAL -1)
    message(FATAL_ERROR "${name}: folder ${L_FOLDER} is not in KALMORA_LAYERS")
  endif()
  foreach(lib ${L_LIBS})
    get_property(lib_rank GLOBAL PROPERTY KALMORA_LAYER_${lib})
    if(NOT "${lib_rank}" STREQUAL "" AND NOT lib_rank LESS rank)
      message(FATAL_ERROR "${name} (${L_FOLDER}) may not link ${lib}, a layer above or beside it")
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY KALMORA_LAYER_${name} ${rank})

  set(root ${CMAKE_BINARY_DIR}/include/${L_FOLDER})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${L_FOLDER} ${root}/${L_FOLDER} SYMBOLIC)

  list(TRANSFORM L_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/${L_FOLDER}/)
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE kalmora_warnings)
  if(L_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  endif()
endfunction()
