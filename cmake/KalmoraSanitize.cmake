# SPDX-License-Identifier: Apache-2.0
# KALMORA_SANITIZE: every target compiled and linked with AddressSanitizer and
# UndefinedBehaviorSanitizer, for a separate build folder (scripts/test.sh uses build-asan/).
# The Firebird client, its embedded engine and Qt stay uninstrumented; the test command sets
# ASAN_OPTIONS, UBSAN_OPTIONS and LSAN_OPTIONS (scripts/sanitizer/).
option(KALMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KALMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
