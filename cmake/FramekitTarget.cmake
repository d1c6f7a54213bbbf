# framekit_library(<name> <EXPORT_MACRO_PREFIX> [DEPENDS ...])
# One shared library from <dir>/src and <dir>/include, with our warnings and an
# export macro defined only while the library itself is being built.
function(framekit_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  add_library(${name} SHARED ${sources})
  add_library(Framekit::${name} ALIAS ${name})
  target_include_directories(${name}
    PUBLIC
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  string(TOUPPER ${name} upper)
  target_compile_definitions(${name} PRIVATE ${upper}_BUILDING=1)
  target_compile_features(${name} PUBLIC cxx_std_20)
  framekit_warnings(${name})
  # Calls inside a library bind to the library's own definitions, so hot paths
  # (object lookups, stream reads) inline instead of going through the PLT.
  target_compile_options(${name} PRIVATE -fno-semantic-interposition)
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
  if(ARG_PRIVATE_DEPENDS)
    target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPENDS})
  endif()
  set_target_properties(${name} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${name}
    # Installed side by side, each library finds the others next to itself.
    INSTALL_RPATH "$ORIGIN")
endfunction()

function(framekit_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
