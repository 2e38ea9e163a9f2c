# End-to-end tests of kov1-render: they run the built executable.
find_package(PNG REQUIRED)

add_executable(render_test render_test.cpp)
target_link_libraries(render_test PRIVATE PNG::PNG kov1_test_support GTest::gtest_main)
target_compile_definitions(render_test PRIVATE KOV1_RENDER_PATH="$<TARGET_FILE:kov1-render>")
add_dependencies(render_test kov1-render)
gtest_discover_tests(render_test)
