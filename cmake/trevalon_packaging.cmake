# The Debian packages, one a component: `cpack --config CPackConfig.cmake`
# in the build folder (scripts/package does it).
set(trevalon_packages trevalon)
if(TREVALON_WITH_SITE)
  list(APPEND trevalon_packages trevalon-site)
endif()

# Debian wants its copyright and changelog in every package's doc folder.
set(trevalon_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${trevalon_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${PROJECT_SOURCE_DIR}/packaging/changelog
          ${trevalon_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(trevalon_changelog ALL DEPENDS ${trevalon_changelog})
foreach(package IN LISTS trevalon_packages)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${trevalon_changelog}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trevalon)
set(CPACK_PACKAGE_VENDOR Mirrowin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Mirrowin <support@mirrowin.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${trevalon_packages})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TREVALON_SITE_URL}/)

set(CPACK_DEBIAN_TREVALON_PACKAGE_NAME trevalon)
set(CPACK_DEBIAN_TREVALON_PACKAGE_SECTION utils)
# The layout is drawn for Liberation Sans where MS Sans Serif is missing.
set(CPACK_DEBIAN_TREVALON_PACKAGE_DEPENDS fonts-liberation)
# CPack indents the lines after the synopsis itself.
set(CPACK_COMPONENT_TREVALON_DESCRIPTION
    "drive speed tester for the desktop
Trevalon writes scratch files of known content into the drives you pick,
times every write, read, copy, directory lookup and delete, removes its
files again and shows each figure beside a bar.")

set(CPACK_DEBIAN_TREVALON-SITE_PACKAGE_NAME trevalon-site)
set(CPACK_DEBIAN_TREVALON-SITE_PACKAGE_SECTION web)
set(CPACK_COMPONENT_TREVALON-SITE_DESCRIPTION
    "web site server behind Trevalon's version check and error reports
trevalon-site answers the version page, the news page and the error
reports that Trevalon asks for, on loopback only, and keeps the reports
in an SQLite database.")

include(CPack)
