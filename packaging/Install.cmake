# Where an installed program keeps its files, and the Debian package CPack makes of them
# (scripts/package). Included by the top-level CMakeLists.txt once the programs are defined.
include(GNUInstallDirs)
# Lintian wants 0755 for every folder, whatever the umask of the machine that packs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(chromix_app_id example.tilwick_orme.chromix3)
set(chromix_packaging ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS chromix3 chromix3-cli chromix3-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The brand block looks beside the program first, then here (access/BrandBlock).
install(FILES ${chromix_brand_logos} DESTINATION ${CMAKE_INSTALL_DATADIR}/chromix3)
install(FILES ${chromix_packaging}/${chromix_app_id}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${chromix_packaging}/${chromix_app_id}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${chromix_packaging}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${chromix_packaging}/icons/${chromix_app_id}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${chromix_packaging}/completion/chromix3-cli
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages and the changelog go compressed, without a time stamp in the gzip header, so the
# same sources make the same package.
set(chromix_gzipped)
function(chromix_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9n -c '${source}' > '${output}'"
        DEPENDS ${source} VERBATIM)
    set(chromix_gzipped ${chromix_gzipped} ${output} PARENT_SCOPE)
endfunction()
foreach(page chromix3 chromix3-cli chromix3-sim)
    chromix_gzip(${chromix_packaging}/man/${page}.1 ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
chromix_gzip(${chromix_packaging}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(chromix_packaging_files ALL DEPENDS ${chromix_gzipped})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz ${chromix_packaging}/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${chromix_packaging}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME chromix3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chromix3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Tilwick & Orme Optosensors Inc. <support@tilwick-orme.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure and watch a three-channel colour sensor")
set(CPACK_PACKAGE_DESCRIPTION
    "The desktop program with which an operator at a production line configures and\n"
    "watches one three-channel (red, green, blue) colour sensor over RS-232 or\n"
    "TCP/IP: parameter sets in RAM, EEPROM or a file, live measurements as numbers,\n"
    "colour swatch and charts, teaching, recording, a scope and white calibration.\n"
    ".\n"
    "Also chromix3-cli, the sensor's commands from a shell, and chromix3-sim, a\n"
    "simulated sensor.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tilwick-orme.example/chromix3/")
# Libraries from the binaries; the window system's plugin is loaded at run time, so no binary
# names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
