# The Windows build (label windows): 64-bit, and 32-bit with UNICODE defined, both with warnings
# as errors; then the 64-bit one under Wine compared screen by screen with ours.
if(NOT TARVELLIN_SANITIZE)
  add_executable(framecmp tests/diff/framecmp.cpp)
  find_program(MINGW64_CXX x86_64-w64-mingw32-g++)
  find_program(MINGW32_CXX i686-w64-mingw32-g++)
  find_program(WINE wine)
  # A build folder of its own per variant, configured on its first run; CXXFLAGS is read then.
  set(_win_configure "'${CMAKE_COMMAND}' -S '${CMAKE_SOURCE_DIR}' -G Ninja \
--toolchain '${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake' -DCMAKE_BUILD_TYPE=Release")
  if(MINGW64_CXX)
    set(_win64 ${CMAKE_BINARY_DIR}/windows-x86_64)
    add_test(NAME windows_build_x86_64 COMMAND sh -c
      "CXXFLAGS=-Werror ${_win_configure} -B '${_win64}' >/dev/null && '${CMAKE_COMMAND}' --build '${_win64}'")
    set_tests_properties(windows_build_x86_64 PROPERTIES LABELS "windows" TIMEOUT 600 FIXTURES_SETUP windows_exe)
  endif()
  if(MINGW32_CXX)
    set(_win32 ${CMAKE_BINARY_DIR}/windows-i686-unicode)
    add_test(NAME windows_build_i686_unicode COMMAND sh -c
      "CXXFLAGS='-Werror -DUNICODE -D_UNICODE' ${_win_configure} -DTARVELLIN_MINGW_ARCH=i686 -B '${_win32}' >/dev/null && '${CMAKE_COMMAND}' --build '${_win32}'")
    set_tests_properties(windows_build_i686_unicode PROPERTIES LABELS "windows" TIMEOUT 600)
  endif()
  # Each step waits for the state it needs, with limits of its own; on a loaded machine a
  # whole run took up to eight minutes, so the backstop sits above that.
  if(MINGW64_CXX AND WINE AND XVFB AND XDOTOOL AND IMPORT AND TARGET assetgen)
    add_test(NAME windows_diff COMMAND ${CMAKE_SOURCE_DIR}/tests/diff/windows_diff.sh ${CMAKE_BINARY_DIR}
      ${_win64}/tarvellin.exe)
    set_tests_properties(windows_diff PROPERTIES LABELS "windows" TIMEOUT 900 RUN_SERIAL TRUE
      FIXTURES_REQUIRED windows_exe SKIP_RETURN_CODE 77)
  endif()
endif()
