# `cmake --install build [--prefix DIR]`: the programs, their user guide, icon, desktop entry,
# AppStream metainfo and man pages in the places a desktop and man(1) look for them.
include(GNUInstallDirs)

set(KRELIX_APP_ID org.krelix.krelix)

install(TARGETS krelix krelix-scan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/help/ProductDescription.html ${PROJECT_SOURCE_DIR}/help/help.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/krelix/help)
install(FILES ${PROJECT_SOURCE_DIR}/data/krelix.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/${KRELIX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${KRELIX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages carry the project version and are installed compressed, as Debian has them.
set(man_pages)
foreach(page krelix krelix-scan)
    set(man_dir ${PROJECT_BINARY_DIR}/man)
    configure_file(${PROJECT_SOURCE_DIR}/data/man/${page}.1.in ${man_dir}/${page}.1 @ONLY)
    add_custom_command(
        OUTPUT ${man_dir}/${page}.1.gz
        COMMAND gzip -9nkf ${page}.1
        DEPENDS ${man_dir}/${page}.1
        WORKING_DIRECTORY ${man_dir}
        COMMENT "Compressing the man page ${page}(1)")
    list(APPEND man_pages ${man_dir}/${page}.1.gz)
endforeach()
add_custom_target(krelix_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(KRELIX_BUILD_TESTS)
    krelix_add_test(NAME Install.LayoutAndDesktopEntry
                    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-install.sh ${PROJECT_BINARY_DIR})
    krelix_add_test(NAME Install.DesktopEntryIsValid LABELS package
                    COMMAND desktop-file-validate ${PROJECT_SOURCE_DIR}/data/${KRELIX_APP_ID}.desktop)
    krelix_add_test(NAME Install.MetainfoIsValid LABELS package
                    COMMAND appstreamcli validate --no-net --pedantic --strict
                            ${PROJECT_SOURCE_DIR}/data/${KRELIX_APP_ID}.metainfo.xml)
    krelix_add_test(NAME Install.ManPagesFormatWithoutWarnings LABELS package
                    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-man-pages.sh ${PROJECT_BINARY_DIR}/man
                            $<TARGET_FILE:krelix-scan>)
endif()
