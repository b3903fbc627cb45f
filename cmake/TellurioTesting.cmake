# tellurio_add_test(<name> SOURCES <files...> LIBS <targets...> [QT])
#
# Builds one GoogleTest executable and registers its cases with CTest.  Tests
# marked QT run on the offscreen platform and fail on any Qt warning.
function(tellurio_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} platform_test_support GTest::gtest GTest::gmock)
  if(T_QT)
    target_link_libraries(${name} PRIVATE tellurio_qttest_main Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  if(T_QT)
    # Qt keeps global caches alive until exit; leak reports there say nothing about our code.
    set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0;TELLURIO_SOUND=off")
  else()
    set(props ENVIRONMENT "TELLURIO_SOUND=off")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
endfunction()
