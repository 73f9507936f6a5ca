# Windows binaries run here under Wine, in a private prefix under the build
# folder (never ~/.wine).  ctest reaches Wine through this emulator.
find_program(WINE_PROGRAM wine REQUIRED)
set(ORVANEL_BUILD_ROOT "${CMAKE_SOURCE_DIR}/build" CACHE PATH "Folder that holds the build trees and the Wine prefix")
set(ORVANEL_WINEPREFIX "${ORVANEL_BUILD_ROOT}/wineprefix" CACHE PATH "Private Wine prefix for tests and runs")
set(ORVANEL_WINE_EXEC "${CMAKE_SOURCE_DIR}/scripts/wine-exec")
set(CMAKE_CROSSCOMPILING_EMULATOR "${ORVANEL_WINE_EXEC}")

# An ALSA sink of a test's own (tests/support/alsa-sink): writes the
# configuration file and sets out_var to the ALSA_CONFIG_PATH that uses it.
function(orvanel_alsa_sink out_var conf)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tests/support/alsa-sink ${conf} ${ARGN}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(${out_var} "${path}" PARENT_SCOPE)
endfunction()

# Every test gets the prefix and a silent audio sink unless it brings its own.
function(orvanel_wine_test_env test)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    "WINEPREFIX=${ORVANEL_WINEPREFIX}" "ORVANEL_BUILD_ROOT=${ORVANEL_BUILD_ROOT}")
endfunction()
