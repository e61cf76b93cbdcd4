# Installation of the driver library for point-of-sale programs: the library, its C header,
# a CMake package (find_package(NVRP_RORERER_10) gives NVRP_RORERER_10::NVRP_RORERER_10), a
# pkg-config file (pkg-config --cflags --libs NVRP_RORERER_10, with a run path to the library),
# a sample payment-code file, and the programs fiscalctl and ibox-sim. The package and the
# pkg-config file are relocatable, so the tree may be installed under any prefix.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(nvrp_package NVRP_RORERER_10)
set(nvrp_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${nvrp_package})

target_include_directories(NVRP_RORERER_10 INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS NVRP_RORERER_10 EXPORT ${nvrp_package}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS fiscalctl ibox-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/nvrp_rorerer_10.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The payment-code file as a sample: its codes are examples, to be matched with the payment
# table of the device and copied into the host folder as NVRP_RORERER_10.ini.
install(FILES ${PROJECT_SOURCE_DIR}/examples/NVRP_RORERER_10.ini
        DESTINATION ${CMAKE_INSTALL_LIBDIR} RENAME NVRP_RORERER_10.ini.sample)
install(EXPORT ${nvrp_package}Targets NAMESPACE ${nvrp_package}::
        DESTINATION ${nvrp_package_dir})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/NVRP_RORERER_10Config.cmake.in
  ${PROJECT_BINARY_DIR}/${nvrp_package}Config.cmake INSTALL_DESTINATION ${nvrp_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/${nvrp_package}ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/${nvrp_package}Config.cmake
              ${PROJECT_BINARY_DIR}/${nvrp_package}ConfigVersion.cmake
        DESTINATION ${nvrp_package_dir})

# The prefix is found from the file's own place, so the tree can be moved.
file(RELATIVE_PATH nvrp_pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" nvrp_pc_to_prefix "${nvrp_pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/NVRP_RORERER_10.pc.in
               ${PROJECT_BINARY_DIR}/${nvrp_package}.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${nvrp_package}.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
