# SPDX-License-Identifier: Apache-2.0
# The layers of src/, lowest first. A folder may include and link only folders before it
# in this list (and itself). kalmora_library checks the links when the build is
# configured; the test layer_includes checks every #include of src/ (cmake/check_layers.cmake).
set(KALMORA_LAYERS
  core          # values, failures, decimal and date text, quoting: plain C++
  platform      # stand-ins for the registry, file access and the locale
  driver        # the Firebird driver over the client library
  data          # the connection, its sources, providers, data sets and saves
  company       # the data module: the company database's components by name
  posting       # the connect step, the posting run and the error list
  rates         # the closing-adjustment rates
  installation  # the installation directory and the server list
  cli           # the headless post command
  grids         # the grid control and the navigator bar (Qt)
  widgets       # the window's control kit and the captioned panel (Qt)
  app           # the main window, its grid settings and messages, the program entry (Qt)
)
