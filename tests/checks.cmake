add_test(NAME platform_includes COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-platform-includes)
set_tests_properties(platform_includes PROPERTIES LABELS "check")
