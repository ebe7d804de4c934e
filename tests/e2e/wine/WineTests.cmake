# The Windows program in a real window under Wine and Xvfb, started from a folder whose name has
# non-ASCII letters: the start screen and game tests of Linux, and the update with Wine's cmd.exe.
set(WINE_E2E_ENV "E2E_PROGRAM=Kreiselsturm.exe" "E2E_LAUNCH=${CMAKE_BINARY_DIR}/wine-run.sh"
    "E2E_FOLDER_NAME=Spiele/Kreiselstürm" "E2E_SETTLE=2.5")
foreach(name start_screen game)
  add_test(NAME e2e_wine_${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${name}_e2e.sh $<TARGET_FILE_DIR:Kreiselsturm>)
endforeach()

# The update test's program asks a loopback server on a fixed port; the new program file it
# downloads is a small program that notes where it was started.
set(WINE_E2E_UPDATE_PORT 38917)
add_executable(update_e2e_program ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${CMAKE_BINARY_DIR}/generated/IconData.cpp)
target_link_libraries(update_e2e_program PRIVATE kreiselsturm_sdl)
target_compile_definitions(update_e2e_program PRIVATE KREISELSTURM_UPDATE_URL="http://127.0.0.1:${WINE_E2E_UPDATE_PORT}")
set_target_properties(update_e2e_program PROPERTIES WIN32_EXECUTABLE TRUE)
add_executable(started_marker e2e/wine/started_marker.cpp)
add_test(NAME e2e_wine_update COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/wine/update_e2e.sh
  $<TARGET_FILE_DIR:Kreiselsturm> $<TARGET_FILE:update_e2e_program> $<TARGET_FILE:started_marker> ${WINE_E2E_UPDATE_PORT})

set_tests_properties(e2e_wine_start_screen e2e_wine_game e2e_wine_update PROPERTIES
  LABELS e2e TIMEOUT 600 RUN_SERIAL TRUE ENVIRONMENT "${WINE_E2E_ENV}")

# The program file carries its manifest: Windows lets it draw at each screen's own scale instead
# of stretching it, blurred.
add_test(NAME windows_dpi_manifest COMMAND grep -qa "<dpiAwareness[^>]*>PerMonitorV2" $<TARGET_FILE:Kreiselsturm>)
set_tests_properties(windows_dpi_manifest PROPERTIES LABELS unit)
