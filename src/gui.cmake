# The desktop program: main window (ui/), wizard (wizard/), compiled-in
# artwork (resources/) and the application object (app/), plus its help book
# and desktop integration.
include(GNUInstallDirs)

set(SONOREL_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/sonorel)

# Artwork: each SVG in resources/ becomes a string constant in icon_svg.h.
set(SONOREL_ICONS app_icon browse_button help_button info_button exit_button)
set(SONOREL_GENERATED_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated)
foreach(icon IN LISTS SONOREL_ICONS)
    set(svg_file ${CMAKE_CURRENT_SOURCE_DIR}/resources/${icon}.svg)
    file(READ ${svg_file} SONOREL_SVG_${icon})
    string(STRIP "${SONOREL_SVG_${icon}}" SONOREL_SVG_${icon})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${svg_file})
endforeach()
configure_file(resources/icon_svg.h.in ${SONOREL_GENERATED_DIR}/resources/icon_svg.h @ONLY)

# The help book: the pages in help/ and the pictures of the main window and
# the wizard, zipped.
set(SONOREL_HELP_SOURCE_DIR ${PROJECT_SOURCE_DIR}/help)
file(GLOB SONOREL_HELP_PAGES CONFIGURE_DEPENDS
    ${SONOREL_HELP_SOURCE_DIR}/*.hhp ${SONOREL_HELP_SOURCE_DIR}/*.hhc
    ${SONOREL_HELP_SOURCE_DIR}/*.hhk ${SONOREL_HELP_SOURCE_DIR}/*.html
    ${SONOREL_HELP_SOURCE_DIR}/*.css)
set(SONOREL_HELP_FILES ${SONOREL_HELP_PAGES})
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/main-window.png)
    list(APPEND SONOREL_HELP_FILES ${PROJECT_SOURCE_DIR}/docs/main-window.png)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/wizard.png)
    list(APPEND SONOREL_HELP_FILES ${PROJECT_SOURCE_DIR}/docs/wizard.png)
endif()
set(SONOREL_HELP_STAGING ${CMAKE_CURRENT_BINARY_DIR}/help-book)
set(SONOREL_HELP_BOOK ${CMAKE_CURRENT_BINARY_DIR}/Sonorel.htb)
set(help_names "")
foreach(file IN LISTS SONOREL_HELP_FILES)
    get_filename_component(name ${file} NAME)
    list(APPEND help_names ${name})
endforeach()
file(MAKE_DIRECTORY ${SONOREL_HELP_STAGING})
add_custom_command(
    OUTPUT ${SONOREL_HELP_BOOK}
    COMMAND ${CMAKE_COMMAND} -E copy ${SONOREL_HELP_FILES} ${SONOREL_HELP_STAGING}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${SONOREL_HELP_BOOK}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${SONOREL_HELP_BOOK} --format=zip ${help_names}
    WORKING_DIRECTORY ${SONOREL_HELP_STAGING}
    DEPENDS ${SONOREL_HELP_FILES}
    COMMENT "Building the help book Sonorel.htb"
    VERBATIM)
add_custom_target(sonorel_help_book ALL DEPENDS ${SONOREL_HELP_BOOK})

file(GLOB SONOREL_GUI_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/wizard/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.cpp)
if(SONOREL_GUI_SOURCES)
    add_library(sonorel_gui STATIC ${SONOREL_GUI_SOURCES})
    target_include_directories(sonorel_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_include_directories(sonorel_gui PRIVATE ${SONOREL_GENERATED_DIR})
    target_include_directories(sonorel_gui SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
    target_compile_definitions(sonorel_gui PUBLIC ${wxWidgets_DEFINITIONS})
    target_compile_definitions(sonorel_gui PRIVATE
        SONOREL_INSTALL_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/sonorel")
    # Programs that run from the build tree (the GUI tests) find the book here.
    target_compile_definitions(sonorel_gui INTERFACE
        SONOREL_BUILD_TREE_HELP_BOOK="${SONOREL_HELP_BOOK}")
    target_compile_options(sonorel_gui PUBLIC ${wxWidgets_CXX_FLAGS})
    target_link_libraries(sonorel_gui PUBLIC sonorel_core sonorel_playback sonorel_visual ${wxWidgets_LIBRARIES}
        PRIVATE PkgConfig::GTK3)
    add_dependencies(sonorel_gui sonorel_help_book)
    sonorel_warnings(sonorel_gui)

    file(GLOB SONOREL_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp)
    if(SONOREL_APP_SOURCES)
        add_executable(sonorel ${SONOREL_APP_SOURCES})
        target_link_libraries(sonorel PRIVATE sonorel_gui)
        sonorel_warnings(sonorel)
        # The package sonorel: the program, its help book, its man page and
        # its desktop integration (entry, metainfo, icons).
        install(TARGETS sonorel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
        install(FILES ${SONOREL_HELP_BOOK} DESTINATION ${SONOREL_DATA_INSTALL_DIR} COMPONENT gui)
        sonorel_install_gzipped(sonorel gui ${PROJECT_SOURCE_DIR}/docs/sonorel.1
            ${CMAKE_INSTALL_MANDIR}/man1 sonorel.1)
        sonorel_install_package_docs(sonorel gui sonorel)
        # The entry's file name is the id the metainfo names it by.
        install(FILES resources/${SONOREL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
        configure_file(${PROJECT_SOURCE_DIR}/packaging/sonorel.metainfo.xml.in
            ${SONOREL_GENERATED_DIR}/${SONOREL_APP_ID}.metainfo.xml @ONLY)
        install(FILES ${SONOREL_GENERATED_DIR}/${SONOREL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT gui)
        set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
        install(FILES resources/app_icon.svg
            DESTINATION ${icon_dir}/scalable/apps RENAME sonorel.svg COMPONENT gui)
        # Menus and docks that do not scale SVGs take the icon in the usual
        # sizes, drawn from the same SVG when rsvg-convert is there.
        find_program(SONOREL_RSVG_CONVERT rsvg-convert)
        if(SONOREL_RSVG_CONVERT)
            set(icon_pngs "")
            foreach(size 16 22 24 32 48 64 128 256)
                set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/sonorel.png)
                add_custom_command(
                    OUTPUT ${png}
                    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
                    COMMAND ${SONOREL_RSVG_CONVERT} -w ${size} -h ${size}
                        -o ${png} ${CMAKE_CURRENT_SOURCE_DIR}/resources/app_icon.svg
                    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/app_icon.svg
                    VERBATIM)
                list(APPEND icon_pngs ${png})
                install(FILES ${png} DESTINATION ${icon_dir}/${size}x${size}/apps COMPONENT gui)
            endforeach()
            add_custom_target(sonorel_icon_pngs DEPENDS ${icon_pngs} COMMENT "Drawing the icon's PNG sizes")
            add_dependencies(sonorel sonorel_icon_pngs)
        else()
            message(STATUS "rsvg-convert not found: the icon is installed as SVG only")
        endif()
    endif()
endif()
