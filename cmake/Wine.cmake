# Windows binaries run here under Wine, in a private prefix under the build
# folder (never ~/.wine).  ctest reaches Wine through this emulator.
find_program(WINE_PROGRAM wine REQUIRED)
set(ORVANEL_BUILD_ROOT "${CMAKE_SOURCE_DIR}/build" CACHE PATH "Folder that holds the build trees and the Wine prefix")
set(ORVANEL_WINEPREFIX "${ORVANEL_BUILD_ROOT}/wineprefix" CACHE PATH "Private Wine prefix for tests and runs")
set(ORVANEL_WINE_EXEC "${CMAKE_SOURCE_DIR}/scripts/wine-exec")
set(CMAKE_CROSSCOMPILING_EMULATOR "${ORVANEL_WINE_EXEC}")

# Every test gets the prefix and a silent audio sink unless it brings its own.
function(orvanel_wine_test_env test)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    "WINEPREFIX=${ORVANEL_WINEPREFIX}" "ORVANEL_BUILD_ROOT=${ORVANEL_BUILD_ROOT}")
endfunction()
