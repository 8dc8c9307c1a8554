# Installing Ferrowin on a Linux desktop, and the Debian package made from that install.

set(FERROWIN_DATA ${PROJECT_SOURCE_DIR}/data)

# The program's own data, found at run time beside bin/ as ../share/ferrowin.
install(DIRECTORY ${FERROWIN_DATA}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ferrowin
        PATTERN icons EXCLUDE PATTERN man EXCLUDE PATTERN "*.desktop" EXCLUDE PATTERN "*.metainfo.xml" EXCLUDE
        PATTERN "Lumbra.*" EXCLUDE)

# The automation server: its type library (the introspection XML) and the service file from
# which D-Bus starts the factory, with the program's path as installed (cpack installs to /usr).
install(FILES ${FERROWIN_DATA}/Lumbra.IQuorra.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/interfaces)
set(FERROWIN_SERVICE_FILE ${CMAKE_CURRENT_BINARY_DIR}/Lumbra.Quorra.service)
install(CODE "
  file(READ \"${FERROWIN_DATA}/Lumbra.Quorra.service.in\" text)
  string(REPLACE \"@FERROWIN_EXEC@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/ferrowin\" text \"\${text}\")
  file(WRITE \"${FERROWIN_SERVICE_FILE}\" \"\${text}\")")
install(FILES ${FERROWIN_SERVICE_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)

install(FILES ${FERROWIN_DATA}/ferrowin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${FERROWIN_DATA}/io.github.ferrowin.ferrowin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${FERROWIN_DATA}/icons/ferrowin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES ${FERROWIN_DATA}/icons/ferrowin-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ferrowin.png)
endforeach()

# Debian wants manual pages compressed, reproducibly (no name or time stamp in the header).
foreach(page ferrowin.1 ferroftp.1)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9nc ${FERROWIN_DATA}/man/${page} > ${gz}
    DEPENDS ${FERROWIN_DATA}/man/${page} VERBATIM)
  list(APPEND FERROWIN_MAN_PAGES ${gz})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${FERROWIN_MAN_PAGES})
install(FILES ${FERROWIN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ferrowin developers <maintainers@ferrowin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FTP client with tabs, transfer queues and resume")
# The first line of the package's description is the summary above; these are the paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ferrowin opens several FTP servers at once, each in its own tab, and shows the
remote folder beside a local one. Files and whole folder trees move through
background queues with progress, resume of broken transfers and a question
before anything is overwritten. Sites are kept in a site manager, every command
and reply goes to a coloured log, and ftp:// links open in the running copy.

The package also holds ferroftp, the same FTP engine on the command line, for
scripted downloads and uploads.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ferrowin.github.io/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
