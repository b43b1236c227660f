add_test(NAME platform_includes COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-platform-includes)
set_tests_properties(platform_includes PROPERTIES LABELS "check")
# The translation catalogues: msgfmt --check, and exactly the texts the program marks.
find_program(MSGCMP msgcmp)
if(MSGCMP)
  add_test(NAME po_catalogues COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-po)
  set_tests_properties(po_catalogues PROPERTIES LABELS "check")
endif()
