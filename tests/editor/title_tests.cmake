# The title picture and tune, drawn on a headless screen.
add_executable(title_test
  ${CMAKE_CURRENT_LIST_DIR}/title_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../gfx/gfx_test_util.cpp
)
target_include_directories(title_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../gfx)
target_link_libraries(title_test PRIVATE kov1_editor kov1_gfx_backends GTest::gtest_main)
gtest_discover_tests(title_test)
