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

# --- Windows --------------------------------------------------------------------------------

include(CPack)
