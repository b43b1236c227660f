# SPDX-License-Identifier: MIT
# The Windows build: the game folders only, on the SDK's own headers and DirectX, as a WIN32
# executable. Tools, tests and benchmarks are Linux's; the pictures and sounds come from a Linux
# build's assetgen (make windows-zip packs them beside the program).
file(GLOB WINDOWS_GAME_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/gfx/*.cpp
  ${CMAKE_SOURCE_DIR}/input/*.cpp ${CMAKE_SOURCE_DIR}/sfx/*.cpp ${CMAKE_SOURCE_DIR}/music/*.cpp)
# The language rule and its catalogues, as on Linux.
list(APPEND WINDOWS_GAME_SOURCES ${CMAKE_SOURCE_DIR}/platform/lang.cpp ${TARVELLIN_LANG_DIR}/lang_catalogue.inc)
add_executable(tarvellin WIN32 ${WINDOWS_GAME_SOURCES})
target_include_directories(tarvellin PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvellin PRIVATE ddraw dinput8 dxguid dsound ole32 winmm gdi32)
if(MSVC)
  # The on-screen strings are UTF-8 literals converted to code page 1251 at compile time.
  target_compile_options(tarvellin PRIVATE /W4 /utf-8)
else()
  target_compile_options(tarvellin PRIVATE -Wall -Wextra)
  # No MinGW run-time DLLs to ship: the exe runs on its own.
  target_link_options(tarvellin PRIVATE -static)
endif()
