# Installation and packages, included by the top-level CMakeLists.txt.
#
#   cmake --install BUILD --prefix /usr/local     the program, man page, manual
#   cd BUILD && cpack -G "DEB;TGZ"               a Debian package and a tarball
#
# Installed files (relative to the prefix):
#   bin/zorm                        the assembler
#   bin/zorm-dbg                    the debugger (when z80ex was found)
#   share/man/man1/zorm.1           the man page
#   share/doc/zorm/                 the manual, the debug file format, editor
#                                   integration, the README and the examples

include(GNUInstallDirs)

install(TARGETS zorm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zorm)
if(TARGET zorm-dbg)
  install(TARGETS zorm-dbg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zorm)
endif()

set(ZORM_DOC_DIR "${CMAKE_SOURCE_DIR}/docs")
if(EXISTS "${ZORM_DOC_DIR}/zorm.1")
  install(FILES "${ZORM_DOC_DIR}/zorm.1" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT zorm)
endif()

# share/doc/zorm (CMAKE_INSTALL_DOCDIR is share/doc/<project>).
foreach(doc manual.md debug-format.md editors.md)
  if(EXISTS "${ZORM_DOC_DIR}/${doc}")
    install(FILES "${ZORM_DOC_DIR}/${doc}" DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT zorm)
  endif()
endforeach()
install(FILES "${CMAKE_SOURCE_DIR}/README.md" DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT zorm)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/examples/" DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT zorm
        FILES_MATCHING PATTERN "*.asm")

# Packages.
set(ZORM_PACKAGE_MAINTAINER "The ZORM developers <zorm-developers@invalid>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")

set(CPACK_PACKAGE_NAME "zorm")
set(CPACK_PACKAGE_VENDOR "The ZORM developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Two-pass macro cross-assembler for the 8080, 8085, Z80, Z180 and Z280")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "ZORM reads Z80-syntax assembly source and writes a binary image,\n"
    "Motorola S-records or Intel hex, a paged listing and, on request, a\n"
    "symbol table, a memory usage map and a source-level debug information\n"
    "file. It has macros with local labels, conditional assembly,\n"
    "structures, segments, a character map and includes of source, binary\n"
    "and hex-record files.")
set(CPACK_PACKAGE_CONTACT "${ZORM_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};zorm;/")

if(WIN32)
  set(CPACK_GENERATOR "ZIP")
else()
  set(CPACK_GENERATOR "DEB;TGZ")
endif()

# Debian package: zorm_1.42_amd64.deb.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORM_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(ZORM_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(ZORM_DPKG_SHLIBDEPS)
if(ZORM_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()

# Tarball: zorm-1.42-Linux.tar.gz with bin/, share/man/ and share/doc/ inside.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

include(CPack)
