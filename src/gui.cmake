# The desktop program: main window (ui/), wizard (wizard/), compiled-in
# artwork (resources/) and the application object (app/).
file(GLOB SONOREL_GUI_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/wizard/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.cpp)
if(SONOREL_GUI_SOURCES)
    add_library(sonorel_gui STATIC ${SONOREL_GUI_SOURCES})
    target_include_directories(sonorel_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_include_directories(sonorel_gui SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
    target_compile_definitions(sonorel_gui PUBLIC ${wxWidgets_DEFINITIONS})
    target_compile_options(sonorel_gui PUBLIC ${wxWidgets_CXX_FLAGS})
    target_link_libraries(sonorel_gui PUBLIC sonorel_core ${wxWidgets_LIBRARIES})
    sonorel_warnings(sonorel_gui)

    file(GLOB SONOREL_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp)
    if(SONOREL_APP_SOURCES)
        add_executable(sonorel ${SONOREL_APP_SOURCES})
        target_link_libraries(sonorel PRIVATE sonorel_gui)
        sonorel_warnings(sonorel)
        install(TARGETS sonorel RUNTIME DESTINATION bin)
    endif()
endif()
