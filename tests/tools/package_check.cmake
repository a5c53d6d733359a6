# Packs the build tree with CPack into a scratch folder and checks the Debian package: its name,
# the files a desktop and man(1) look for, the libraries it depends on, the version everywhere.
# Exits with 77 (skipped) where the Debian tools are missing.
cmake_minimum_required(VERSION 3.22)
find_program(DPKG_DEB dpkg-deb)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DPKG_DEB OR NOT DPKG_SHLIBDEPS)
  message("SKIP: dpkg-deb or dpkg-shlibdeps is missing (install dpkg-dev)")
  cmake_language(EXIT 77)
endif()

file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${output}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(package "${WORK}/tarnis_${VERSION}_${arch}.deb")
if(NOT EXISTS "${package}")
  file(GLOB made "${WORK}/*.deb")
  message(FATAL_ERROR "expected ${package}, cpack made: ${made}")
endif()

execute_process(COMMAND "${DPKG_DEB}" --contents "${package}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot read ${package}")
endif()
foreach(path usr/bin/tarnis usr/bin/tarnisctl usr/bin/tarnis-emulator
             usr/share/man/man1/tarnis.1.gz usr/share/man/man1/tarnisctl.1.gz usr/share/man/man1/tarnis-emulator.1.gz
             usr/share/applications/tarnis.desktop usr/share/icons/hicolor/scalable/apps/tarnis.svg
             usr/share/icons/hicolor/48x48/apps/tarnis.png usr/share/icons/hicolor/128x128/apps/tarnis.png
             usr/share/doc/tarnis/copyright usr/share/doc/tarnis/changelog.gz usr/share/doc/tarnis/README.md
             usr/share/doc/tarnis/guide.md usr/share/doc/tarnis/images/constructor.png)
  string(REGEX MATCH " \\./${path}\n" found "${listing}")
  if(NOT found)
    message(FATAL_ERROR "the package lacks /${path}:\n${listing}")
  endif()
endforeach()
# Files are root's, programs executable; nothing outside /usr.
string(REGEX MATCH "[^\n]* \\./usr/bin/tarnis\n" program_line "${listing}")
if(NOT program_line MATCHES "^-rwxr-xr-x root/root")
  message(FATAL_ERROR "usr/bin/tarnis is not an executable of root: ${program_line}")
endif()
string(REGEX MATCHALL " \\./[^\n]*" paths "${listing}")
foreach(path IN LISTS paths)
  if(NOT path MATCHES "^ \\./(usr/.*)?$")
    message(FATAL_ERROR "the package installs outside /usr: ${path}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" --field "${package}" Depends Section Maintainer
                OUTPUT_VARIABLE fields)
foreach(dependency "libqt6widgets6 \\(>= " "libqt6gui6" "libqt6core6" "libjpeg[0-9a-z-]* \\(>= " "libc6")
  if(NOT fields MATCHES "Depends: [^\n]*${dependency}")
    message(FATAL_ERROR "Depends does not name ${dependency}:\n${fields}")
  endif()
endforeach()
if(NOT fields MATCHES "Section: utils" OR NOT fields MATCHES "Maintainer: [^\n]+ <[^\n@]+@[^\n]+>")
  message(FATAL_ERROR "Section or Maintainer is wrong:\n${fields}")
endif()

# The change log's newest entry and the manual pages name the package's version.
file(STRINGS "${SOURCE_DIR}/packaging/changelog" first_entry LIMIT_COUNT 1)
if(NOT first_entry MATCHES "^tarnis \\(${VERSION}\\) ")
  message(FATAL_ERROR "the newest change log entry \"${first_entry}\" is not version ${VERSION}")
endif()
set(tree "${WORK}/tree")
execute_process(COMMAND "${DPKG_DEB}" --extract "${package}" "${tree}")
foreach(page tarnis tarnisctl tarnis-emulator)
  execute_process(COMMAND gzip -dc "${tree}/usr/share/man/man1/${page}.1.gz" OUTPUT_VARIABLE text)
  if(NOT text MATCHES "\n?\\.TH [^\n]* \"tarnis ${VERSION}\"")
    message(FATAL_ERROR "${page}.1 does not carry version ${VERSION} in its title line")
  endif()
endforeach()
# Stripping keeps the version resource the About window reads.
execute_process(COMMAND "${tree}/usr/bin/tarnisctl" --version OUTPUT_VARIABLE printed)
if(NOT printed STREQUAL "tarnisctl ${VERSION}\n")
  message(FATAL_ERROR "the packed tarnisctl prints \"${printed}\"")
endif()
find_program(READELF readelf)
if(READELF)
  execute_process(COMMAND "${READELF}" --section-headers "${tree}/usr/bin/tarnis" OUTPUT_VARIABLE sections)
  if(NOT sections MATCHES "\\.tarnis_version")
    message(FATAL_ERROR "the packed tarnis lost its version resource")
  endif()
endif()
file(REMOVE_RECURSE "${WORK}")
