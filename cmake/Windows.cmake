# The Windows program, cross-built with cmake/mingw-w64-x86_64.cmake against the libraries of
# scripts/build-windows-deps.sh (everything static: Kreiselsturm.exe needs no DLLs of its own).

# SDL2_ttf is built static only; its static target does not carry SDL2, which must follow it.
if(NOT TARGET SDL2_ttf::SDL2_ttf)
  add_library(SDL2_ttf::SDL2_ttf INTERFACE IMPORTED)
  target_link_libraries(SDL2_ttf::SDL2_ttf INTERFACE SDL2_ttf::SDL2_ttf-static SDL2::SDL2)
endif()

# Programs of this build run under Wine: the tests, and the test discovery at build time.
if(CMAKE_CROSSCOMPILING)
  configure_file(cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# A windowed program (no console) with the icon and the version resource.
find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
set(KREISELSTURM_ICO ${CMAKE_BINARY_DIR}/generated/Kreiselsturm.ico)
add_custom_command(OUTPUT ${KREISELSTURM_ICO}
  COMMAND ${IMAGEMAGICK_CONVERT} ${CMAKE_SOURCE_DIR}/src/app/icon.gif -background none
          -define icon:auto-resize=128,64,48,32,16 ${KREISELSTURM_ICO}
  DEPENDS src/app/icon.gif
  COMMENT "Making the program icon from icon.gif")
configure_file(cmake/Kreiselsturm.rc.in ${CMAKE_BINARY_DIR}/generated/Kreiselsturm.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/Kreiselsturm.rc PROPERTIES
  OBJECT_DEPENDS "${KREISELSTURM_ICO};${CMAKE_SOURCE_DIR}/cmake/Kreiselsturm.manifest")
target_sources(Kreiselsturm PRIVATE ${CMAKE_BINARY_DIR}/generated/Kreiselsturm.rc)
set_target_properties(Kreiselsturm PROPERTIES WIN32_EXECUTABLE TRUE)
target_link_options(Kreiselsturm PRIVATE $<$<CONFIG:Release>:-s>)  # no symbols in the players' program

# The licences of the libraries linked into the program travel with it.
find_path(KREISELSTURM_LICENSES NAMES SDL2.txt PATH_SUFFIXES share/kreiselsturm-licenses REQUIRED)
add_custom_command(TARGET Kreiselsturm POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KREISELSTURM_LICENSES} ${KREISELSTURM_PROGRAM_DIR}/Lizenzen)
