# kov1-render: a saved drawing as a PNG picture, without the editor.
find_package(PNG REQUIRED)

add_executable(kov1-render render_main.cpp png_write.cpp png_write.h)
target_link_libraries(kov1-render PRIVATE kov1_imagefile kov1_gfx_backends PNG::PNG)
