# The Debian package: "cpack -G DEB" in the build folder (scripts/package.sh makes a release build
# and runs it) packs what "cmake --install" puts in place, plus the manual pages, the change log,
# the copyright file and the guide under /usr/share/doc/tarnis.

set(TARNIS_PACKAGE_MAINTAINER "Tarnis maintainers <maintainers@users.noreply.c-seed-17551ec3.example>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian wants manual pages and the change log compressed with gzip -9n (no name, no time stamp),
# so the package's bytes do not depend on when it was built.
find_program(TARNIS_GZIP gzip REQUIRED)
set(compressed_docs)
function(tarnis_gzip_for_package source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${TARNIS_GZIP} -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set(compressed_docs ${compressed_docs} ${output} PARENT_SCOPE)
endfunction()

set(package_docs ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${package_docs})
# The pages carry the project version in their title line.
foreach(page tarnis tarnisctl tarnis-emulator)
  configure_file(${PROJECT_SOURCE_DIR}/man/${page}.1 ${package_docs}/${page}.1 @ONLY)
  tarnis_gzip_for_package(${package_docs}/${page}.1 ${package_docs}/${page}.1.gz)
  install(FILES ${package_docs}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
tarnis_gzip_for_package(${PROJECT_SOURCE_DIR}/packaging/changelog ${package_docs}/changelog.gz)
add_custom_target(package_docs ALL DEPENDS ${compressed_docs})

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarnis)
install(FILES ${package_docs}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md DESTINATION ${doc_dir} OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${doc_dir} OPTIONAL
        FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarnis")
set(CPACK_PACKAGE_CONTACT "${TARNIS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for the ORMIZ KM-07 document printer")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARNIS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The long description under the summary line; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tarnis prepares and programs everything the ORMIZ KM-07 printer of
strict-reporting documents prints: operators, the document name, services,
additional requisites and cliches. It designs the eight blank-form layouts
with a text preview, transfers the device's goods base, keeps all of it in
configuration and goods files, reads the device status and programs the
taxpayer number.

The package holds the desktop program tarnis, the command-line tool
tarnisctl for scripts and service work, and tarnis-emulator, which answers
like the device on a pseudo-terminal for training and tests.")
include(CPack)
