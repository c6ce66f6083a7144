# `cmake --install build [--prefix DIR]`: the program, its user guide, icon and desktop entry in
# the places a desktop looks for them.
include(GNUInstallDirs)

install(TARGETS krelix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/help/ProductDescription.html ${PROJECT_SOURCE_DIR}/help/help.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/krelix/help)
install(FILES ${PROJECT_SOURCE_DIR}/data/krelix.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/krelix.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

if(KRELIX_BUILD_TESTS)
    add_test(NAME Install.LayoutAndDesktopEntry
             COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-install.sh ${PROJECT_BINARY_DIR})
endif()
