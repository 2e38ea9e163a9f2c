# Tests of the SDL back-end: the key translation without a window, and the
# real window and its thread on a private Xvfb server that the test starts.
# The window tests carry the label "threads"; tools/check.d/30-tsan.sh also
# runs them under ThreadSanitizer.
find_package(SDL2 REQUIRED)
find_package(X11 REQUIRED)

add_executable(sdl_keys_test sdl_keys_test.cpp)
target_link_libraries(sdl_keys_test PRIVATE kov1_backends SDL2::SDL2 GTest::gtest_main)
gtest_discover_tests(sdl_keys_test)

# Sends close requests to a window and takes screenshots of it.
add_executable(sdl_x11_tool sdl_x11_tool.cpp)
target_link_libraries(sdl_x11_tool PRIVATE X11::X11)

add_executable(sdl_window_test sdl_window_test.cpp sdl_thread_test.cpp sdl_test_x11.cpp)
target_compile_definitions(sdl_window_test PRIVATE SDL_X11_TOOL="$<TARGET_FILE:sdl_x11_tool>")
target_link_libraries(sdl_window_test PRIVATE kov1_backends SDL2::SDL2 GTest::gtest_main)
add_dependencies(sdl_window_test sdl_x11_tool)
gtest_discover_tests(sdl_window_test PROPERTIES LABELS threads TIMEOUT 60)

add_executable(view_test view_test.cpp)
target_link_libraries(view_test PRIVATE kov1_backends GTest::gtest_main)
gtest_discover_tests(view_test)
