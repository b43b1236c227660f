# The browser build (Emscripten): the game, api/, demo/ and port/ as they are, with web/ as the
# host in place of host/'s SDL files; the pictures and sounds of a native build packed beside it.
# `make web` runs it; build/web/ then holds a static site.
set(TARVELLIN_NATIVE_BUILD "${CMAKE_SOURCE_DIR}/build/release" CACHE PATH
    "the native build that gives the data folder and the glyph baker")
set(TARVELLIN_WEB_OUT "${CMAKE_SOURCE_DIR}/build/web" CACHE PATH "where the static site goes")

add_compile_options(-Wall -Wextra -msimd128 -msse2)

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/gfx/*.cpp
  ${CMAKE_SOURCE_DIR}/input/*.cpp ${CMAKE_SOURCE_DIR}/sfx/*.cpp ${CMAKE_SOURCE_DIR}/music/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/api/*.cpp ${CMAKE_SOURCE_DIR}/platform/demo/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/port/*.cpp ${CMAKE_SOURCE_DIR}/platform/seams/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/web/*.cpp ${CMAKE_SOURCE_DIR}/platform/lang.cpp)
# Text from the glyphs the native rasteriser baked (glyphbake, in every native build).
if(NOT EXISTS ${TARVELLIN_NATIVE_BUILD}/glyphs_baked.cpp)
  message(FATAL_ERROR "${TARVELLIN_NATIVE_BUILD}/glyphs_baked.cpp is missing: build the native game first (make build)")
endif()
list(APPEND WEB_SOURCES ${TARVELLIN_NATIVE_BUILD}/glyphs_baked.cpp)
# host/'s files that include neither SDL nor FreeType serve the browser as they are.
foreach(f border clock keymap padmap paths pixels pixels_wasm volume)
  list(APPEND WEB_SOURCES ${CMAKE_SOURCE_DIR}/platform/host/${f}.cpp)
endforeach()

add_executable(tarvellin ${WEB_SOURCES})
target_include_directories(tarvellin PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(tarvellin PRIVATE TARVELLIN_VERSION="${PROJECT_VERSION}")
set_target_properties(tarvellin PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${TARVELLIN_WEB_OUT}
  LINK_DEPENDS "${CMAKE_SOURCE_DIR}/platform/web/index.html;${CMAKE_SOURCE_DIR}/platform/web/library_web.js;${CMAKE_SOURCE_DIR}/platform/web/pre.js;${CMAKE_SOURCE_DIR}/platform/web/post.js;${TARVELLIN_NATIVE_BUILD}/data/.stamp")
# Every wait that yields is reached by direct calls (main, WinMain, the frame, PeekMessageA,
# the sound wait), so indirect calls are left uninstrumented: ASYNCIFY costs far less.
target_link_options(tarvellin PRIVATE
  -sASYNCIFY "-sASYNCIFY_IMPORTS=['web_yield']" -sASYNCIFY_IGNORE_INDIRECT=1 -sASYNCIFY_STACK_SIZE=16384
  -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
  -sENVIRONMENT=web,node
  "-sEXPORTED_RUNTIME_METHODS=['FS','addRunDependency','removeRunDependency']"
  --js-library ${CMAKE_SOURCE_DIR}/platform/web/library_web.js
  --pre-js ${CMAKE_SOURCE_DIR}/platform/web/pre.js --post-js ${CMAKE_SOURCE_DIR}/platform/web/post.js
  # The generated pictures and sounds at the root, where the game's data search looks first.
  --preload-file ${TARVELLIN_NATIVE_BUILD}/data@/ --exclude-file "*.stamp")

# The page, its icon and a zip of the whole static site.
set(WEB_ZIP ${TARVELLIN_WEB_OUT}/tarvellin-web-${PROJECT_VERSION}.zip)
add_custom_command(TARGET tarvellin POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/platform/web/index.html ${TARVELLIN_WEB_OUT}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${TARVELLIN_NATIVE_BUILD}/icons/tarvellin-48.png ${TARVELLIN_WEB_OUT}/tarvellin.png
  COMMAND ${CMAKE_COMMAND} -E rm -f ${WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${WEB_ZIP} --format=zip
          index.html tarvellin.js tarvellin.wasm tarvellin.data tarvellin.png
  WORKING_DIRECTORY ${TARVELLIN_WEB_OUT}
  COMMENT "The static site in ${TARVELLIN_WEB_OUT} and its zip")
