# Tests of the Script back-end.
add_executable(script_backend_test
  script_parse_test.cpp
  script_run_test.cpp
)
target_link_libraries(script_backend_test PRIVATE kov1_backends kov1_test_support GTest::gtest_main)
gtest_discover_tests(script_backend_test)
