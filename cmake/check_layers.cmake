# SPDX-License-Identifier: Apache-2.0
# cmake -DSOURCE_DIR=<checkout> -P check_layers.cmake
# Fails when a file of src/<folder> includes "<other>/..." of a folder that is not below
# <folder> in KALMORA_LAYERS, or of a folder that is not a layer at all. A file beside the
# including one (its folder's compiled-in pictures, "resources/...") is its own.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
include(KalmoraLayers)

set(violations "")
foreach(folder ${KALMORA_LAYERS})
  list(FIND KALMORA_LAYERS ${folder} rank)
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    get_filename_component(beside ${file} DIRECTORY)
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" path "${line}")
      if(EXISTS ${beside}/${path})
        continue()
      endif()
      string(REGEX REPLACE "^[^\"]*\"([^/\"]+)/.*$" "\\1" target "${line}")
      list(FIND KALMORA_LAYERS ${target} target_rank)
      if(target_rank EQUAL -1 OR target_rank GREATER rank)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(APPEND violations "  ${shown}: ${line} (${folder} may not include ${target})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes against the layer order of cmake/KalmoraLayers.cmake:\n${violations}")
endif()
message(STATUS "Every include of src/ follows the layer order")
