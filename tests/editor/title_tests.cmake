# The title picture and tune, drawn on a headless screen.
add_executable(title_test
  ${CMAKE_CURRENT_LIST_DIR}/title_test.cpp
)
target_link_libraries(title_test PRIVATE kov1_editor kov1_backends kov1_test_support GTest::gtest_main)
gtest_discover_tests(title_test)
