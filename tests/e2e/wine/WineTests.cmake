# The Windows program in a real window under Wine and Xvfb, started from a folder whose name has
# non-ASCII letters: the Linux scripts that need no Linux desktop (a game; the update, carried
# out by Wine's cmd.exe), with the Wine runner in E2E_LAUNCH.
set(E2E_ENV "E2E_PROGRAM=Kreiselsturm.exe" "E2E_LAUNCH=${CMAKE_BINARY_DIR}/wine-run.sh"
    "E2E_FOLDER_NAME=Spiele/Kreiselstürm" "E2E_SETTLE=2.5")
# Holds the program file open in the update test, so the update script has to wait for it.
add_executable(hold_file e2e/wine/hold_file.cpp)
list(APPEND E2E_ENV "E2E_HOLDER=$<TARGET_FILE:hold_file>")
set(E2E_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/play_e2e.sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/update_e2e.sh)
set(E2E_PREFIX e2e_wine_)

# The program file carries its manifest: Windows lets it draw at each screen's own scale instead
# of stretching it, blurred.
add_test(NAME windows_dpi_manifest COMMAND grep -qa "<dpiAwareness[^>]*>PerMonitorV2" $<TARGET_FILE:Kreiselsturm>)
set_tests_properties(windows_dpi_manifest PROPERTIES LABELS unit)
