# What `cmake --install` puts where, in the freedesktop layout: the programs in bin, the
# shipped tile sets in share/lexmire, and the menu entry, icons and metainfo where desktops
# look for them. The program counts as installed when share/lexmire sits beside its bin
# folder: it then reads the tile sets from there and keeps the player's files in the
# per-user folders.
include(GNUInstallDirs)

if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(WARNING "lexmire finds its shipped files only at ../share/lexmire from its own folder; "
                  "with CMAKE_INSTALL_BINDIR=${CMAKE_INSTALL_BINDIR} and "
                  "CMAKE_INSTALL_DATADIR=${CMAKE_INSTALL_DATADIR} it will not see its tile sets.")
endif()

set(LEXMIRE_DESKTOP_ID io.github.lexmire.Lexmire)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS lexmire lexmire-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lexmire-bot RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lexmire-sound lexmire-download lexmire-jpeg lexmire-dnssd LIBRARY DESTINATION ${LEXMIRE_MODULES_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/lexmiretiles DESTINATION ${CMAKE_INSTALL_DATADIR}/lexmire)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${LEXMIRE_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${LEXMIRE_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages and the Debian changelog are installed compressed, as man and Debian expect.
# -n leaves out the time stamp, so the same text always packs to the same bytes.
find_program(LEXMIRE_GZIP gzip REQUIRED)
function(lexmire_gzip source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND ${LEXMIRE_GZIP} -9n -c ${source} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(page lexmire.6 lexmire-server.6)
  lexmire_gzip(${CMAKE_CURRENT_LIST_DIR}/${page} ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()

# What only the Debian package carries (packaging/package.cmake asks for this component):
# the copyright and changelog Debian wants of every package, and the packaging checker's note.
set(LEXMIRE_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
lexmire_gzip(${LEXMIRE_DEBIAN_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${LEXMIRE_DEBIAN_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexmire COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${LEXMIRE_DEBIAN_DIR}/lintian-overrides RENAME lexmire
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT debian EXCLUDE_FROM_ALL)
