# Install helpers shared by the programs' folders. Every installed file
# belongs to one of two components, each of which becomes a package
# (cmake/SonorelPackaging.cmake): "gui" the desktop program, "cli" the
# command-line tool.
include(GNUInstallDirs)
find_program(SONOREL_GZIP gzip REQUIRED)

# Installs SOURCE gzipped (without a timestamp, so that two builds give the
# same bytes) as DESTINATION/NAME.gz in COMPONENT; TARGET depends on it, so
# that building the program also makes what its package holds.
function(sonorel_install_gzipped target component source destination name)
    set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name}.gz)
    add_custom_command(
        OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/gzipped
        COMMAND sh -c "\"$0\" -n -9 -c \"$1\" > \"$2\"" ${SONOREL_GZIP} ${source} ${gzipped}
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
    add_custom_target(${target}_${name} DEPENDS ${gzipped})
    add_dependencies(${target} ${target}_${name})
    install(FILES ${gzipped} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# The licence in the machine-readable form and the release history, as
# each package's documentation folder holds them.
function(sonorel_install_package_docs target component package)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in
        ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
    set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${package})
    install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright
        DESTINATION ${doc_dir} COMPONENT ${component})
    sonorel_install_gzipped(${target} ${component}
        ${PROJECT_SOURCE_DIR}/packaging/changelog ${doc_dir} changelog)
endfunction()
