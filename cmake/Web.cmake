# The browser build, made with Debian's emscripten against the libraries of
# scripts/build-web-deps.sh: the program folder becomes a page, Kreiselsturm/ holding index.html,
# Kreiselsturm.js, Kreiselsturm.wasm and Kreiselsturm.data (the pictures and the font), which
# any static web server can serve from any folder.

# SDL2_ttf is built static only; its static target does not carry SDL2, which must follow it.
if(NOT TARGET SDL2_ttf::SDL2_ttf)
  add_library(SDL2_ttf::SDL2_ttf INTERFACE IMPORTED)
  target_link_libraries(SDL2_ttf::SDL2_ttf INTERFACE SDL2_ttf::SDL2_ttf-static SDL2::SDL2)
endif()

set(KREISELSTURM_WEB_DIR ${CMAKE_SOURCE_DIR}/src/app/web)
set_target_properties(Kreiselsturm PROPERTIES SUFFIX .js)
# The library functions that never wait, left out of asyncify's instrumenting (build-web-deps.sh).
find_file(KREISELSTURM_ASYNCIFY_REMOVE kreiselsturm-asyncify-remove.txt PATH_SUFFIXES share REQUIRED)
target_link_options(Kreiselsturm PRIVATE
  -fexceptions
  # The runtime's loop blocks and waits as on the desktop, and a message box waits for its
  # button: asyncify lets both hand control back to the browser while they wait.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sASYNCIFY_REMOVE=@${KREISELSTURM_ASYNCIFY_REMOVE}
  -sALLOW_MEMORY_GROWTH=1
  # main() returning ends the program: the page then tells so (src/app/web/kreiselsturm.js).
  -sEXIT_RUNTIME=1
  -lidbfs.js
  --pre-js ${KREISELSTURM_WEB_DIR}/kreiselsturm.js
  # The program folder: the game finds its pictures and font beside the program, as everywhere.
  --preload-file ${CMAKE_SOURCE_DIR}/assets@/Kreiselsturm)
set_property(TARGET Kreiselsturm APPEND PROPERTY LINK_DEPENDS ${KREISELSTURM_WEB_DIR}/kreiselsturm.js ${ASSET_FILES}
  ${KREISELSTURM_ASYNCIFY_REMOVE})

# The licences of what the page carries travel with it: the libraries, emscripten's runtime (its
# C and C++ libraries) and the font's, which is packed in the data file too.
find_path(KREISELSTURM_LICENSES NAMES SDL2.txt PATH_SUFFIXES share/kreiselsturm-licenses REQUIRED)
add_custom_command(TARGET Kreiselsturm POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KREISELSTURM_WEB_DIR}/index.html ${KREISELSTURM_PROGRAM_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KREISELSTURM_LICENSES} ${KREISELSTURM_PROGRAM_DIR}/Lizenzen
  COMMAND ${CMAKE_COMMAND} -E copy_if_different /usr/share/doc/emscripten/copyright ${KREISELSTURM_PROGRAM_DIR}/Lizenzen/emscripten.txt
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/assets/Liberation-LICENSE.txt ${KREISELSTURM_PROGRAM_DIR}/Lizenzen
  COMMENT "Assembling the page")
