# The Linux build's own edges: the command line and start-up checks (no display needed), and the
# installed tree with its validators and the installed game under Xvfb.
add_test(NAME cli_options COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/cli.sh ${CMAKE_BINARY_DIR})
set_tests_properties(cli_options PROPERTIES LABELS "cli" TIMEOUT 120)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT TARVELLIN_SANITIZE AND DESKTOP_FILE_VALIDATE AND APPSTREAMCLI AND XVFB AND XDOTOOL AND IMPORT AND TARGET assets)
  add_test(NAME e2e_install COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/install.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e_install PROPERTIES LABELS "e2e;install" TIMEOUT 300 RUN_SERIAL TRUE)
endif()
