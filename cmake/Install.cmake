# What `cmake --install` puts under the prefix, and the Debian package cpack makes of it.
#
# The layout is fixed (bin/, share/) rather than taken from GNUInstallDirs: the installed program
# finds its shipped data as ../share/cvremote from its own folder, so the two must not move apart.

set(CV_VERSION ${PROJECT_VERSION_MAJOR}.0.${PROJECT_VERSION_MINOR}) # as the program's --version says
set(CV_HOMEPAGE "https://github.com/cvremote/cvremote" CACHE STRING "The project's home page (metainfo, package)")
set(CV_SCREENSHOT_URL "https://raw.githubusercontent.com/cvremote/cvremote/main/docs/screenshots"
    CACHE STRING "Where the metainfo's screenshots are published")
set(CV_MAINTAINER "CV Remote developers <cvremote@users.noreply.github.com>"
    CACHE STRING "Maintainer of the Debian package")

set(dist ${CMAKE_SOURCE_DIR}/dist)
set(out ${CMAKE_BINARY_DIR}/dist)
configure_file(${dist}/cvremote.desktop.in ${out}/${CV_APP_ID}.desktop @ONLY)
configure_file(${dist}/cvremote.metainfo.xml.in ${out}/${CV_APP_ID}.metainfo.xml @ONLY)
configure_file(${dist}/changelog.in ${out}/changelog @ONLY)
configure_file(${dist}/man/CVRemote.1.in ${out}/CVRemote.1 @ONLY)
configure_file(${dist}/man/cvremote-radiosim.1.in ${out}/cvremote-radiosim.1 @ONLY)
configure_file(${dist}/man/cvremote-cli.1.in ${out}/cvremote-cli.1 @ONLY)

# Debian wants manual pages and the changelog compressed, reproducibly (-n: no name, no time).
find_program(CV_GZIP gzip REQUIRED)
set(compressed)
foreach(file CVRemote.1 cvremote-radiosim.1 cvremote-cli.1 changelog)
    add_custom_command(OUTPUT ${out}/${file}.gz
        COMMAND ${CV_GZIP} -9nkf ${out}/${file}
        DEPENDS ${out}/${file} VERBATIM)
    list(APPEND compressed ${out}/${file}.gz)
endforeach()
add_custom_target(cv_dist_files ALL DEPENDS ${compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS CVRemote cvremote-radiosim cvremote-cli RUNTIME DESTINATION bin)
# Debian builds bind every symbol at start so the whole relocation table can be made read-only.
foreach(target CVRemote cvremote-radiosim cvremote-cli)
    target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION share/cvremote PATTERN .keep EXCLUDE)
install(FILES ${out}/${CV_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${out}/${CV_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${dist}/icons/ DESTINATION share/icons)
install(FILES ${out}/CVRemote.1.gz ${out}/cvremote-radiosim.1.gz ${out}/cvremote-cli.1.gz DESTINATION share/man/man1)
# bash-completion loads a command's completion on demand from this folder, by the command's name.
install(FILES ${dist}/completion/cvremote-cli DESTINATION share/bash-completion/completions)
install(FILES ${dist}/copyright ${out}/changelog.gz DESTINATION share/doc/cvremote)
install(FILES ${dist}/lintian-overrides DESTINATION share/lintian/overrides RENAME cvremote)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cvremote)
set(CPACK_PACKAGE_VERSION ${CV_VERSION})
set(CPACK_PACKAGE_VENDOR "The CV Remote developers")
set(CPACK_PACKAGE_CONTACT ${CV_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remote control for a networked internet radio")
# Lines of the extended description stay within 80 columns, as Debian asks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "CV Remote sends an internet radio's remote-control keys over the network,\n"
    "polls what the radio plays and shows it: a clickable remote-control picture,\n"
    "the radio's display drawn from skin files, an information panel, a terminal\n"
    "view with a command list, macros, a console monitor and an update checker.\n"
    "A command-line client, cvremote-cli, drives the radio from scripts and\n"
    "timers; a simulated radio, cvremote-radiosim, comes with it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CV_HOMEPAGE})
# Dependencies are what dpkg-shlibdeps finds the binaries linked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
