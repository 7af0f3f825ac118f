# Debian packages by CPack (scripts/package.sh): one per install component.
#   sonorel      the desktop program (component gui)
#   sonorel-cli  the command-line tool (component cli), with no wxWidgets or
#                GTK in its dependencies, so that it installs on a server
# Dependencies come from dpkg-shlibdeps over each package's own binary.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonorel)
set(CPACK_PACKAGE_VENDOR "Sonorel developers")
set(CPACK_PACKAGE_VERSION ${SONOREL_VERSION_STRING})
set(CPACK_PACKAGE_CONTACT ${SONOREL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL gui cli)
set(CPACK_COMPONENTS_GROUPING IGNORE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SONOREL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SONOREL_WEB_ADDRESS})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

# CPack indents the lines after the first and writes an empty line as the
# paragraph break " .".
set(sonorel_long_description
    "Sonorel turns stereo transfers of old mono records (78s, cylinders, early\n"
    "LPs, tapes) into restored mono sound files: clicks are repaired in each\n"
    "channel, and each channel is estimated from the other, so that what the\n"
    "two groove walls share survives and what only one of them carries\n"
    "(surface noise, ticks) does not.\n\n")
string(JOIN "" sonorel_long_description ${sonorel_long_description})

set(CPACK_DEBIAN_GUI_PACKAGE_NAME sonorel)
set(CPACK_COMPONENT_GUI_DESCRIPTION
    "restore stereo transfers of old mono records (desktop program)\n${sonorel_long_description}This package holds the desktop program, with its settings wizard,\npreviews and help book.")
# Previews play through ALSA, which reaches PulseAudio or PipeWire only
# through its plugins.
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "libasound2-plugins")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME sonorel-cli)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "restore stereo transfers of old mono records (command-line tool)\n${sonorel_long_description}This package holds sonorel-cli, which restores batches of files\nwith the same settings, without a display.")
# The pictures of a run are lettered in DejaVu Sans; previews as above.
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "fonts-dejavu-core, libasound2-plugins")

include(CPack)
