# Installs the program like a desktop program: the binary, its menu entry,
# its icon in every size the freedesktop icon theme looks up, and its manual
# page.
include(GNUInstallDirs)

# Directories made by the install get the usual modes whatever the umask of
# the person packaging is.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VASTREL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VASTREL_ICON_SIZES 32 48 64 128 256)

install(TARGETS vastrel-digitizer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VASTREL_PACKAGING_DIR}/vastrel-digitizer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VASTREL_PACKAGING_DIR}/icons/vastrel-digitizer.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VASTREL_ICON_SIZES)
  install(FILES ${VASTREL_PACKAGING_DIR}/icons/${size}x${size}/vastrel-digitizer.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${VASTREL_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
