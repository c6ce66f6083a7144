# `make package` (cpack in the build tree): krelix_<version>_<arch>.deb of what `cmake --install`
# puts in place, under /usr. Its Depends come from the binaries (dpkg-shlibdeps).
set(KRELIX_PACKAGE_MAINTAINER "Krelix maintainers <maintainers@krelix.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krelix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find files with identical content and clean up the copies")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KRELIX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads picture formats beyond PNG, JPEG and GIF as plugins, which no binary links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-image-formats-plugins)
# The extended description; the summary above is its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Krelix is a desktop duplicate-file finder. You name folders to search and
folders to leave out, pick file types and a size range, and start a search.
Krelix compares only files whose size another file shares, groups files of
equal content and lets you check files by rule and recycle, delete, move,
copy or rename them, preview pictures and export a CSV file.
.
krelix-scan runs the same search from the command line, with plain,
NUL-separated, CSV or JSON output.")
include(CPack)

if(KRELIX_BUILD_TESTS)
    krelix_add_test(NAME Package.DebianPackageInstallsAndRuns LABELS package
                    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-package.sh ${PROJECT_BINARY_DIR}
                            ${PROJECT_VERSION})
    # The unpacked scanner keeps its hash cache in the build tree, not in the user's home.
    set_tests_properties(Package.DebianPackageInstallsAndRuns
                         PROPERTIES ENVIRONMENT "XDG_CACHE_HOME=${PROJECT_BINARY_DIR}/package-test-cache")
endif()
