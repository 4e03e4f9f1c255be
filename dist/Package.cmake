# The Debian package: `cpack` in a build tree (scripts/package) makes
# qta710_<version>_amd64.deb from what `cmake --install` installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qta710)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${QTA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QTA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for the QTA 710 Vavi GSM/GPRS alarm communicator")
set(CPACK_PACKAGE_DESCRIPTION
    "Edits the QTA 710 Vavi communicator's whole configuration, keeps it in .pff
files, writes it into the device and reads it back over its USB bridge or over
GPRS, reads its event log, shows its live status and switches its outputs, in
Slovak, English, German and Danish.

The package also holds qta710-cli, the same engine without a window for
scripts, and qta710-sim, a virtual communicator to try the programmer without
hardware. Its udev rule lets the logged-in user open the device's USB bridge
and keeps ModemManager away from it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QTA_HOMEPAGE})
# The libraries the programs link against, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst
                                       ${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The build tree keeps its symbols for debugging; the package does not need them.
set(CPACK_STRIP_FILES ON)
# `lintian` shows no error or warning. With --info it adds, left as they are:
# spelling-error-in-binary (German words, and texts the device's own program
# spells so, kept as it has them), hardening-no-fortify-functions and
# hardening-no-bindnow (the build's flags are the project's, the same for the
# sanitizer builds), and binary-has-unneeded-section .comment (the compiler's
# version note).
include(CPack)
