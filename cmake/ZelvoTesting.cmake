# The private PostgreSQL cluster of the tests (tests/pgserver): CTest starts it before the
# tests of the fixture zelvo_pg and removes it after them. It listens only on a Unix socket in
# a folder of its own under /tmp (short enough for a socket path, reachable by the unprivileged
# user the server runs as when the tests run as root).
string(MD5 zelvo_build_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${zelvo_build_hash}" 0 12 zelvo_build_hash)
set(ZELVO_PG_TEST_DIR "/tmp/zelvo-pg-${zelvo_build_hash}" CACHE INTERNAL
    "Socket folder of the PostgreSQL test cluster")

# zelvo_use_pg_cluster(test): the test runs with the cluster up and finds it in ZELVO_PG_HOST;
# exit code 77 (cluster missing outside CI) shows as skipped.
function(zelvo_use_pg_cluster test)
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED zelvo_pg)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ZELVO_PG_HOST=${ZELVO_PG_TEST_DIR}")
  set_property(TEST ${test} PROPERTY SKIP_RETURN_CODE 77)
endfunction()

# zelvo_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [BACKENDS sqlite postgresql])
# Builds one Qt Test executable and registers it with CTest, headless. With BACKENDS
# postgresql the same executable is registered a second time as name_pg, run against the test
# cluster (ZELVO_TEST_BACKEND=postgresql): the test's session opens a fresh server database.
function(zelvo_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;BACKENDS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  if(WIN32)
    # a static Qt links only its default plugins; the tests run offscreen (under Wine too)
    qt_import_plugins(${T_NAME} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    ZELVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=Europe/Istanbul"
    TIMEOUT 300)
  if("postgresql" IN_LIST T_BACKENDS)
    add_test(NAME ${T_NAME}_pg COMMAND ${T_NAME})
    set_tests_properties(${T_NAME}_pg PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=Europe/Istanbul;ZELVO_TEST_BACKEND=postgresql"
      TIMEOUT 600)
    zelvo_use_pg_cluster(${T_NAME}_pg)
  endif()
endfunction()
