# What identifies the product outside its own texts.
#
# The web address is set once, in src/core/settings/product.h (kWebAddress),
# where the main window's link and the About box take it from; it is read
# from there for the packages and the metainfo. The reverse-DNS id names the
# desktop entry (src/resources/<id>.desktop) and the metainfo.
set(SONOREL_PRODUCT_HEADER ${PROJECT_SOURCE_DIR}/src/core/settings/product.h)
file(STRINGS ${SONOREL_PRODUCT_HEADER} web_address_line REGEX "kWebAddress = \"[^\"]+\"")
if(NOT web_address_line MATCHES "kWebAddress = \"([^\"]+)\"")
    message(FATAL_ERROR "${SONOREL_PRODUCT_HEADER}: no web address (kWebAddress) found")
endif()
set(SONOREL_WEB_ADDRESS ${CMAKE_MATCH_1})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SONOREL_PRODUCT_HEADER})
set(SONOREL_APP_ID "org.example.sonorel.Sonorel")
# The version as the program shows it ("4.2").
set(SONOREL_VERSION_STRING "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
# Who answers for the packages.
set(SONOREL_MAINTAINER "Sonorel developers <sonorel@example.org>")
