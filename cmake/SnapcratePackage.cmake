# The Debian package: `cpack -G DEB` in the build folder (or `ninja package`)
# makes snapcrate_<version>_amd64.deb with the layout of `cmake --install`
# under /usr (docs/install.md).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snapcrate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Snapcrate developers")
set(CPACK_PACKAGE_CONTACT "The Snapcrate developers <snapcrate@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo archive: camera import, EXIF date shift, HTML albums")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Snapcrate imports pictures from a camera card or any folder into an archive
ordered by year, month and day, named after the time they were taken. It
shifts the EXIF dates of a folder to mend a camera clock, keeps titles,
descriptions, ratings and rotations in small files beside the pictures, and
generates a static HTML album from page templates the user can edit.

The package holds the desktop program snapcrate (Qt 6) and the batch front
end snapcrate-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/snapcrate/snapcrate)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries are loaded with dlopen, so dpkg-shlibdeps sees them as the
# programs' own; their system libraries (libvips, TurboJPEG, Qt) become the
# dependencies. The help file is opened through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Libraries our libraries load themselves at their first use (libvips).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${SNAPCRATE_LOADED_DEBIAN_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# The desktop entry is written with the prefix of the install, so the files
# are staged with DESTDIR under the final prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
