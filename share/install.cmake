# What `cmake --install` puts in the prefix: the two programs, the desktop
# entry with its icon, the file type of *.bas files, the software-centre
# entry, bash completion, the manual pages and the package's documents.
include(GNUInstallDirs)

set(KOV1_VERSION "1.00")  # the version both programs print
set(KOV1_HOMEPAGE "https://kov1.example.org"
    CACHE STRING "The project's home page, named in the package and its software-centre entry")
set(KOV1_SCREENSHOT_URL "${KOV1_HOMEPAGE}/docs/kov1-editor.png"
    CACHE STRING "Where software centres fetch the README's picture from the repository")
set(KOV1_MAINTAINER "KOV1 developers <kov1@kov1.example.org>"
    CACHE STRING "Who answers for the package: a name and a mail address")
set(kov1_share ${CMAKE_CURRENT_LIST_DIR})
set(kov1_out ${CMAKE_BINARY_DIR}/share)

install(TARGETS kov1 kov1-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${kov1_share}/kov1.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${kov1_share}/kov1-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kov1.xml)
foreach(size 16 24 32 48 64 96 128 256)
  install(FILES ${kov1_share}/icons/kov1-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kov1.png)
endforeach()
configure_file(${kov1_share}/kov1.metainfo.xml.in ${kov1_out}/org.example.kov1.metainfo.xml @ONLY)
install(FILES ${kov1_out}/org.example.kov1.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(command kov1 kov1-render)
  install(FILES ${kov1_share}/kov1.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${command})
endforeach()

# Manual pages and the change log go in compressed, as Debian keeps them.
set(kov1_gzipped)
foreach(file kov1.1 kov1-render.1 debian/changelog)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${kov1_out}/${name}.gz
                     COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${kov1_share}/${file}
                             ${kov1_out}/${name}.gz
                     DEPENDS ${kov1_share}/${file} VERBATIM)
  list(APPEND kov1_gzipped ${kov1_out}/${name}.gz)
endforeach()
add_custom_target(kov1_share_files ALL DEPENDS ${kov1_gzipped})
install(FILES ${kov1_out}/kov1.1.gz ${kov1_out}/kov1-render.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${kov1_out}/changelog.gz ${kov1_share}/debian/copyright ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The desktop learns the new file type and its program from two caches built
# from these files. A staged install (DESTDIR, as the package is made) leaves
# that to the package's own triggers.
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
