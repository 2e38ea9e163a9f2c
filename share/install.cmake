# What `cmake --install` puts in the prefix: the two programs, the desktop
# entry, the file type of *.bas files and the manual pages.
include(GNUInstallDirs)

install(TARGETS kov1 kov1-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kov1.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kov1-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kov1.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kov1.1 ${CMAKE_CURRENT_LIST_DIR}/kov1-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop learns the new file type and its program from two caches built
# from these files. A staged install (DESTDIR) leaves that to the package's
# own triggers.
install(CODE "set(kov1_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    foreach(cache mime applications)
      set(tool update-mime-database)
      if(cache STREQUAL applications)
        set(tool update-desktop-database)
      endif()
      find_program(kov1_${cache}_tool ${tool})
      if(kov1_${cache}_tool)
        execute_process(COMMAND ${kov1_${cache}_tool} "${CMAKE_INSTALL_PREFIX}/${kov1_datadir}/${cache}"
                        RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
        if(failed)
          message(WARNING "${tool}: ${said}")
        endif()
      endif()
    endforeach()
  endif()
]])
