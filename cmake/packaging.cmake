# The Debian package (make deb): everything `cmake --install` puts down, under
# /usr, with the library dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Tessaview developers <tessaview@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Image formats beyond Qt's own, the xcb platform, and sound through GStreamer.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xscreensaver | mate-screensaver, gstreamer1.0-plugins-good, gstreamer1.0-plugins-base, gstreamer1.0-pulseaudio")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fluid-soundfont-gm, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "screen saver showing your photos on a spinning cube
Tessaview shows photos from folders of your choice on the six faces of a
cube that spins and drifts in 3D, optionally with background music. It runs
under xscreensaver and the MATE screen saver, and as a full-screen show or a
preview of its own.")
include(CPack)
