# The browser build (label web): the regression demos replayed to their .expect under Node and in
# headless Chromium; in Chromium the real page played with keys, mouse and a scripted gamepad, its
# pixels, pause, sound, load failures, and demos carried both ways between the browser and this
# build. `make test` builds build/web first (`make web`); without chromium, or without emcc and a
# browser build, each skips.
if(NOT TARVELLIN_SANITIZE AND TARGET tarvellin AND TARGET assets)
  set(TARVELLIN_WEB_DIR "${CMAKE_SOURCE_DIR}/build/web" CACHE PATH "the browser build the web tests load")
  set(web_test /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/web/web_test.py --web ${TARVELLIN_WEB_DIR}
      --native ${CMAKE_BINARY_DIR})
  set(web_tests)
  file(GLOB WEB_DEMOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/demos/*.demo)
  foreach(demo ${WEB_DEMOS})
    get_filename_component(name ${demo} NAME_WE)
    add_test(NAME web_node_demo_${name} COMMAND ${web_test} node ${name})
    list(APPEND web_tests web_node_demo_${name})
  endforeach()
  foreach(case driver replay pixels missing native)
    add_test(NAME web_${case} COMMAND ${web_test} ${case})
    list(APPEND web_tests web_${case})
  endforeach()
  set_tests_properties(${web_tests} PROPERTIES LABELS "web" TIMEOUT 600 SKIP_RETURN_CODE 77)
  # Played in real time: alone, as the end-to-end runs are.
  foreach(case pointer play pause pad audio record)
    add_test(NAME web_${case} COMMAND ${web_test} ${case})
    set_tests_properties(web_${case} PROPERTIES LABELS "web" TIMEOUT 600 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
  endforeach()
endif()
