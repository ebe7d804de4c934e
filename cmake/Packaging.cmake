# Release archives, made by CPack from the install rules: `cpack` in a build folder, or
# `cmake --build <build> --target package`. One section per system; each names its archive and
# adds what only that system needs beside the program folder.

set(CPACK_PACKAGE_NAME Kreiselsturm)
set(CPACK_PACKAGE_VENDOR Kreiselsturm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_VERBATIM_VARIABLES ON)
# The archive holds the program folder Kreiselsturm/ itself: unpacked, it runs where it lies.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)

# --- Linux: Kreiselsturm-<version>-Linux.tar.gz ---------------------------------------------
# Beside the program: the menu entry, its icon in three sizes (drawn by tools/make_assets.py)
# and the script that installs both for the current user.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME "Kreiselsturm-${PROJECT_VERSION}-Linux")
  install(FILES packaging/linux/kreiselsturm.desktop DESTINATION Kreiselsturm)
  install(PROGRAMS packaging/linux/install-desktop-entry.sh DESTINATION Kreiselsturm)
  install(DIRECTORY packaging/linux/icons DESTINATION Kreiselsturm)
endif()

# --- Windows: Kreiselsturm-<version>-windows-x64.zip -----------------------------------------
# Beside the program: the licences of the libraries linked into it.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Kreiselsturm-${PROJECT_VERSION}-windows-x64")
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
  install(DIRECTORY ${KREISELSTURM_LICENSES}/ DESTINATION Kreiselsturm/Lizenzen)
endif()

# --- Browser: Kreiselsturm-<version>-web.zip -------------------------------------------------
# The page's folder as it is served (cmake/Web.cmake), with the licences of the libraries in it.
if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Kreiselsturm-${PROJECT_VERSION}-web")
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
  set(CPACK_STRIP_FILES OFF)
  install(FILES ${KREISELSTURM_WEB_DIR}/index.html ${KREISELSTURM_PROGRAM_DIR}/Kreiselsturm.wasm
    ${KREISELSTURM_PROGRAM_DIR}/Kreiselsturm.data DESTINATION Kreiselsturm)
  install(DIRECTORY ${KREISELSTURM_PROGRAM_DIR}/Lizenzen DESTINATION Kreiselsturm)
endif()

include(CPack)
