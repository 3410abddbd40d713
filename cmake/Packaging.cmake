# The Debian package: `cmake --build <dir> --target package` or
# `cpack --config <dir>/CPackConfig.cmake`.
set(VASTREL_PACKAGE_MAINTAINER "Vastrel Digitizer maintainers <maintainers@vastrel-digitizer.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vastrel-digitizer)
set(CPACK_PACKAGE_VENDOR "Vastrel Digitizer maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Vastrel Digitizer reads a curve off a scanned or photographed graph. Open the\n"
    "image (JPEG, BMP, GIF or TIFF), click the lower-left and upper-right corners\n"
    "of the plotting area, type their graph coordinates and choose linear or\n"
    "logarithmic axes: the curve is traced column by column, shown again with a\n"
    "list of X, Y values, and saved as a CSV file.\n"
    "\n"
    "The user interface is in Japanese.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VASTREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The Qt libraries, libstdc++ and libc come from dpkg-shlibdeps; what the
# binary loads only at run time has to be named here: the TIFF reader is a
# plugin of its own, and the captions are Japanese, so some Japanese font
# must be there (the xcb platform plugin ships with libqt6gui6 on Debian 12).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
# The stand-in for "Times New Roman"; without it a generic serif is used.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")

include(CPack)
