# Where `cmake --install` and the Debian package put the program and its
# files. Every destination is relative to the prefix, so any prefix gives the
# same layout: the package's /usr, /usr/local, a folder of one's own.
include(GNUInstallDirs)

# The desktop's name for the program: its desktop entry, icon and software
# centre entry (resources/<id>.*), and the application id of its window.
set(ARB_APP_ID "io.github.vxarb.vxarb")
target_compile_definitions(vxarb_window PRIVATE ARB_APP_ID="${ARB_APP_ID}")
include(cmake/Addresses.cmake)

# The program looks for its help document beside itself, then here.
file(RELATIVE_PATH arb_help_from_program "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DOCDIR}")
if(NOT arb_help_from_program STREQUAL "../share/doc/vxarb")
  message(FATAL_ERROR "The program finds its installed help document in ../share/doc/vxarb relative to "
                      "itself, but CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DOCDIR put it in ${arb_help_from_program}")
endif()

# udev reads rules from /usr/lib/udev/rules.d (packages), /usr/local/lib/udev/rules.d
# and /etc/udev/rules.d (the administrator's): lib/udev/rules.d under the
# prefix suits /usr and /usr/local; give an absolute folder for other prefixes.
set(ARB_UDEV_RULES_DESTINATION "lib/udev/rules.d" CACHE STRING
    "Where the udev rule for USB generators is installed, relative to the prefix or absolute")

# Compressed documents, as Debian wants them: gzip -9 without a time stamp.
function(arb_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
arb_gzip(${CMAKE_SOURCE_DIR}/resources/vxarb.1 ${CMAKE_BINARY_DIR}/vxarb.1.gz)
add_custom_target(arb_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/vxarb.1.gz)

install(TARGETS vxarb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A library, not a program: no execute bit, as Debian wants shared objects.
install(TARGETS vxarb_window LIBRARY DESTINATION ${ARB_WINDOW_LIBRARY_DESTINATION}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${ARB_HELP_FILE} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/vxarb.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES resources/${ARB_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${ARB_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icons/vxarb.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ARB_APP_ID}.svg)
install(FILES resources/70-vx48250-usbtmc.rules DESTINATION ${ARB_UDEV_RULES_DESTINATION})
