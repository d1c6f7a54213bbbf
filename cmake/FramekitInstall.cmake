include(CMakePackageConfigHelpers)

install(TARGETS Plinth Geodex Framekit
  EXPORT FramekitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY
    ${PROJECT_SOURCE_DIR}/plinth/include/
    ${PROJECT_SOURCE_DIR}/geodex/include/
    ${PROJECT_SOURCE_DIR}/framekit/include/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(EXPORT FramekitTargets
  NAMESPACE Framekit::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Framekit)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/FramekitConfig.cmake.in
  ${PROJECT_BINARY_DIR}/FramekitConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Framekit)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/FramekitConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/FramekitConfig.cmake
    ${PROJECT_BINARY_DIR}/FramekitConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Framekit)
