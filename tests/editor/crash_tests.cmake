# The editor in a real window on a private Xvfb server that the test starts,
# typed at with xdotool: shapes kept through a SIGKILL, a load killed
# half-way, the window's icon and a whole session. Labelled "threads", so
# tools/check.d/30-tsan.sh also runs them with the editor built with
# ThreadSanitizer.
add_executable(crash_test
  ${CMAKE_CURRENT_LIST_DIR}/crash_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_run.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../backends/sdl_test_x11.cpp
)
target_include_directories(crash_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../backends)
target_compile_definitions(crash_test PRIVATE KOV1_PATH="$<TARGET_FILE:kov1>"
                                              SDL_X11_TOOL="$<TARGET_FILE:sdl_x11_tool>")
target_link_libraries(crash_test PRIVATE kov1_backends kov1_test_support GTest::gtest_main)
add_dependencies(crash_test kov1 sdl_x11_tool)
# For the editor of the AddressSanitizer build: SDL's video start-up connects
# to the D-Bus session bus, and libdbus keeps one allocation until SDL_Quit,
# which the editor never calls (the sound may still use SDL's audio).
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/kov1_lsan.supp "leak:libdbus-1.so\n")
target_compile_definitions(crash_test
                           PRIVATE LSAN_SUPPRESSIONS="${CMAKE_CURRENT_BINARY_DIR}/kov1_lsan.supp")
gtest_discover_tests(crash_test PROPERTIES LABELS threads TIMEOUT 120)
