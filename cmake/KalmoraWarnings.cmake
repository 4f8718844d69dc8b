# kalmora_warnings: the warnings every target of ours compiles with. KALMORA_WERROR makes
# them errors (CI turns it on).
option(KALMORA_WERROR "Treat compiler warnings as errors" OFF)
add_library(kalmora_warnings INTERFACE)
target_compile_options(kalmora_warnings INTERFACE -Wall -Wextra)
if(KALMORA_WERROR)
  target_compile_options(kalmora_warnings INTERFACE -Werror)
endif()
