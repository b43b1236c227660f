# Regression demos (label demo): each recorded demo replays headless, as fast as it goes, to the
# frames and end state its .expect holds. A change of gameplay fails them until
# scripts/update-demos writes the new expectations.
if(TARGET assets)
  file(GLOB DEMO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/demos/*.demo)
  foreach(demo ${DEMO_FILES})
    get_filename_component(name ${demo} NAME_WE)
    add_test(NAME demo_${name}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/demos/check.sh $<TARGET_FILE:tarvellin> ${CMAKE_BINARY_DIR}/data ${demo})
    set_tests_properties(demo_${name} PROPERTIES LABELS "demo" TIMEOUT 300)
  endforeach()
endif()
