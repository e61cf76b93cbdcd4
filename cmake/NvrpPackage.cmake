# The Debian package of the Linux build (cpack -G DEB): everything NvrpInstall.cmake installs,
# under /usr. Its dependencies come from the binaries themselves (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nvrp-rorerer-10)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR NVRP)
set(NVRP_PACKAGE_MAINTAINER "NVRP <support@nvrp.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${NVRP_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fiscal-printer driver library for the Epson iBox")
# The long description under the summary line; CPack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "NVRP_RORERER_10 drives an Epson iBox fiscal device for the Greek market: point-of-sale
programs call one exported function per command with an XML request.

The package holds the shared library with its C header, CMake package and pkg-config file,
a sample payment-code file (NVRP_RORERER_10.ini.sample), the command-line host fiscalctl and
the device simulator ibox-sim.")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
