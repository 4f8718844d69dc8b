# SPDX-License-Identifier: Apache-2.0
# cmake -DSOURCE_DIR=<checkout> -P check_layers.cmake
# Fails when a file of src/<folder> includes "<other>/..." of a folder that is not below
# <folder> in KALMORA_LAYERS, or of a folder that is not a layer at all. A file beside the
# including one (its folder's compiled-in pictures, "resources/...") is its own.
# Fails too when two modules of src/ (a module: x.h with x.cpp) include each other, also
# inside one folder, except for the pairs of mutual_allowed below.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
include(KalmoraLayers)

set(violations "")
set(modules "")
foreach(folder ${KALMORA_LAYERS})
  list(FIND KALMORA_LAYERS ${folder} rank)
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    get_filename_component(beside ${file} DIRECTORY)
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    string(REGEX REPLACE "^src/(.*)\\.(h|cpp)$" "\\1" module "${shown}")
    list(APPEND modules ${module})
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" path "${line}")
      if(EXISTS ${beside}/${path})
        continue()
      endif()
      # Who includes which module, first including file kept for the message.
      string(REGEX REPLACE "\\.h$" "" included "${path}")
      if(NOT included STREQUAL module AND NOT DEFINED includer_${module}_${included})
        set(includer_${module}_${included} ${shown})
        list(APPEND includes_${module} ${included})
      endif()
      string(REGEX REPLACE "^[^\"]*\"([^/\"]+)/.*$" "\\1" target "${line}")
      list(FIND KALMORA_LAYERS ${target} target_rank)
      if(target_rank EQUAL -1 OR target_rank GREATER rank)
        string(APPEND violations "  ${shown}: ${line} (${folder} may not include ${target})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

# Pairs that include each other by design: the grid's editing and its search are parts of
# the grid that reach into the grid they serve. Written "a<->b", a sorting before b.
set(mutual_allowed "grids/db_grid_eh<->grids/grid_editing" "grids/db_grid_eh<->grids/grid_search")
list(REMOVE_DUPLICATES modules)
foreach(module ${modules})
  foreach(included ${includes_${module}})
    if(NOT module STRLESS included OR NOT DEFINED includer_${included}_${module})
      continue()
    endif()
    list(FIND mutual_allowed "${module}<->${included}" allowed)
    if(allowed EQUAL -1)
      string(APPEND violations "  ${includer_${module}_${included}} includes ${included}.h and "
                               "${includer_${included}_${module}} includes ${module}.h\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes against the layer order of cmake/KalmoraLayers.cmake, or of "
                      "two modules that include each other:\n${violations}")
endif()
message(STATUS "Every include of src/ follows the layer order; no two modules include each other")
