# Installation and the Debian package: the program, the tools, the font mapping, the desktop
# entry with its icon, and a man page for each program.
include(GNUInstallDirs)

install(TARGETS velmora velmora-sim velmora-decode velmora-shot
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks for it beside its own folder: <bin>/../share/velmora/fonts.conf.
install(FILES ${CMAKE_SOURCE_DIR}/resources/fonts.conf
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/velmora)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

# Menu icons rendered from the program's own icon artwork, so they never drift from it.
add_executable(velmora-render-icon ${CMAKE_SOURCE_DIR}/packaging/RenderIcon.cpp)
target_link_libraries(velmora-render-icon PRIVATE Qt6::Gui)
set(VELMORA_ICONS)
foreach(size 32 64 128 256)
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/velmora.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND velmora-render-icon ${CMAKE_SOURCE_DIR}/resources/icon128.xpm ${icon} ${size}
    DEPENDS velmora-render-icon ${CMAKE_SOURCE_DIR}/resources/icon128.xpm
    COMMENT "Rendering the ${size}x${size} icon")
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
  list(APPEND VELMORA_ICONS ${icon})
endforeach()

# Man pages, compressed as Debian keeps them (-n: the same bytes on every build).
find_program(GZIP_PROGRAM gzip REQUIRED)
file(GLOB VELMORA_MAN_PAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/*.1)
set(VELMORA_MAN_GZ)
foreach(page ${VELMORA_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${page} > ${gz}
    DEPENDS ${page}
    COMMENT "Compressing man page ${name}")
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND VELMORA_MAN_GZ ${gz})
endforeach()
add_custom_target(velmora-desktop-files ALL DEPENDS ${VELMORA_ICONS} ${VELMORA_MAN_GZ})

# make package: a .deb that installs on a fresh Debian 12 with everything it needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora maintainers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor for GPS/GLONASS receivers on a serial port")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora shows what a satellite-navigation receiver streams as NMEA-0183 on a serial\n"
    "port: time, position, altitude, speed, course, HDOP, satellite counts, a time-to-fix\n"
    "counter and GPS and GLONASS satellite tables, with a sentence monitor, recording and\n"
    "replay, a sky plot and a track plot. Includes a receiver simulator (velmora-sim), a\n"
    "command-line decoder (velmora-decode) and a screenshot tool (velmora-shot).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from dpkg-shlibdeps; what is loaded at run time (the platform plugins, the
# faces the font mapping names) is declared here.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(VELMORA_LIBRARY_DEPENDS "")
else()
  set(VELMORA_LIBRARY_DEPENDS "libc6, libstdc++6, libgcc-s1, libqt6core6, libqt6gui6, libqt6widgets6, ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${VELMORA_LIBRARY_DEPENDS}qt6-qpa-plugins, fontconfig-config, fonts-wqy-microhei, fonts-liberation2, fonts-dejavu-core")
include(CPack)
