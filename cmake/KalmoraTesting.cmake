# SPDX-License-Identifier: Apache-2.0
# kalmora_add_test(NAME SOURCES a.cpp b.cpp LIBS lib... [GUI] [DATABASE] [SERVER])
#   One GoogleTest executable registered with CTest.
#   GUI      : links the Qt test main (QApplication before InitGoogleTest) and runs
#              with QT_QPA_PLATFORM=offscreen.
#   DATABASE : the test creates company databases with db/make-company (embedded engine).
#   SERVER   : the test needs the private Firebird server that scripts/test.sh starts;
#              KALMORA_TEST_SERVER names it (host/port), and the test skips without it.
function(kalmora_add_test name)
  cmake_parse_arguments(T "GUI;DATABASE;SERVER" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE kalmora_warnings)
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} kalmora_gui_test_main Qt6::Test GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(env "KALMORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  if(T_DATABASE OR T_SERVER)
    set_tests_properties(${name} PROPERTIES LABELS database)
  endif()
endfunction()
