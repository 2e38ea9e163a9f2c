# What `cmake --install` puts in the prefix: the two programs, the desktop
# entry and the manual pages.
include(GNUInstallDirs)

install(TARGETS kov1 kov1-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kov1.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kov1.1 ${CMAKE_CURRENT_LIST_DIR}/kov1-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
