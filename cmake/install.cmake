# Installation and packages, included by the top-level CMakeLists.txt.
#
#   cmake --install BUILD --prefix /usr/local     the program, man page, manual,
#                                                and the library
#   cmake --install BUILD --component development  the library alone
#   cd BUILD && cpack -G "DEB;TGZ"               a Debian package and a tarball
#                                                (the program's component)
#
# Installed files (relative to the prefix):
#   bin/zorm                        the assembler
#   bin/zorm-dbg                    the debugger (when z80ex was found)
#   share/man/man1/zorm.1           the man page
#   share/doc/zorm/                 the manual, the debug file format, editor
#                                   integration, the library, the README and
#                                   the examples
# and, in the development component:
#   lib/libzorm.a                   the library (static)
#   include/zorm/*.h                its public headers
#   lib/cmake/zorm/                 the CMake package: find_package(zorm) gives zorm::zorm
#   lib/pkgconfig/zorm.pc           the pkg-config file
# (lib is the platform's library folder, lib/x86_64-linux-gnu for a /usr prefix
# on Debian.)

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS zorm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zorm)
if(TARGET zorm-dbg)
  install(TARGETS zorm-dbg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zorm)
endif()

# The library, its headers and the packages that find it.
set(ZORM_CMAKE_PACKAGE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/zorm")
install(TARGETS zorm_core EXPORT zormTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/include/zorm" DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT development FILES_MATCHING PATTERN "*.h")
install(EXPORT zormTargets NAMESPACE zorm:: DESTINATION ${ZORM_CMAKE_PACKAGE_DIR} COMPONENT development)
configure_package_config_file("${CMAKE_SOURCE_DIR}/cmake/zormConfig.cmake.in"
  "${CMAKE_BINARY_DIR}/zormConfig.cmake" INSTALL_DESTINATION ${ZORM_CMAKE_PACKAGE_DIR})
write_basic_package_version_file("${CMAKE_BINARY_DIR}/zormConfigVersion.cmake" COMPATIBILITY SameMajorVersion)
install(FILES "${CMAKE_BINARY_DIR}/zormConfig.cmake" "${CMAKE_BINARY_DIR}/zormConfigVersion.cmake"
        DESTINATION ${ZORM_CMAKE_PACKAGE_DIR} COMPONENT development)
# The pkg-config file finds the prefix from where it lies, so that the tree
# can be installed under any prefix (cmake --install --prefix) and moved.
file(RELATIVE_PATH ZORM_PC_PREFIX_FROM_PCDIR "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" ZORM_PC_PREFIX_FROM_PCDIR "${ZORM_PC_PREFIX_FROM_PCDIR}")
configure_file("${CMAKE_SOURCE_DIR}/cmake/zorm.pc.in" "${CMAKE_BINARY_DIR}/zorm.pc" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/zorm.pc" DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

set(ZORM_DOC_DIR "${CMAKE_SOURCE_DIR}/docs")
if(EXISTS "${ZORM_DOC_DIR}/zorm.1")
  install(FILES "${ZORM_DOC_DIR}/zorm.1" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT zorm)
endif()

# share/doc/zorm (CMAKE_INSTALL_DOCDIR is share/doc/<project>).
foreach(doc manual.md debug-format.md editors.md library.md)
  if(EXISTS "${ZORM_DOC_DIR}/${doc}")
    install(FILES "${ZORM_DOC_DIR}/${doc}" DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT zorm)
  endif()
endforeach()
install(FILES "${CMAKE_SOURCE_DIR}/README.md" DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT zorm)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/examples/" DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT zorm
        FILES_MATCHING PATTERN "*.asm" PATTERN "*.cpp" PATTERN "CMakeLists.txt")

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
