# What `cmake --install` puts under the prefix, for programs that embed the control:
#   include/kestrinx/        the public headers, included as from the source tree ("control/kestrin.h")
#   lib/libKestrinXCore.so.1 the value rules, form files, host interfaces, headless host, control and
#                            General page (KestrinX::Core)
#   lib/libKestrinXQt.so.1   the Qt host and KestrinWidget (KestrinX::Qt), when built with Qt
#   lib/libKestrinX.so.1     the component library hosts load (its four entry points)
#   lib/cmake/KestrinX/      the CMake package (config, version, targets); lib/pkgconfig/kestrinx.pc
#   bin/kestrinx, bin/kestrinx-demo, share/kestrinx/KestrinX.tlb
# The two embedding libraries are shared libraries made from the objects of the project's static
# libraries, so an embedder links one library per component and sees none of the internal ones.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KESTRINX_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kestrinx)
set(KESTRINX_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KestrinX)

# libKestrinXCore.so.1: the static libraries' objects, nothing compiled twice.
set(KESTRINX_CORE_PARTS kestrinx_values kestrinx_forms kestrinx_host kestrinx_headless kestrinx_control
                        kestrinx_propertypage)
add_library(KestrinXCore SHARED
  $<TARGET_OBJECTS:kestrinx_values>
  $<TARGET_OBJECTS:kestrinx_forms>
  $<TARGET_OBJECTS:kestrinx_host>
  $<TARGET_OBJECTS:kestrinx_headless>
  $<TARGET_OBJECTS:kestrinx_control>
  $<TARGET_OBJECTS:kestrinx_propertypage>)
set_target_properties(KestrinXCore PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                              EXPORT_NAME Core)
# In the build tree its headers are its parts' include roots; installed, one folder holds them all.
foreach(part ${KESTRINX_CORE_PARTS})
  target_include_directories(KestrinXCore PUBLIC $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include_roots/${part}>)
endforeach()
target_include_directories(KestrinXCore PUBLIC $<INSTALL_INTERFACE:${KESTRINX_INCLUDE_INSTALL_DIR}>)
target_compile_features(KestrinXCore PUBLIC cxx_std_20)
# The form file reader's JSON parser, which kestrinx_forms links privately.
find_package(simdjson REQUIRED)
target_link_libraries(KestrinXCore PRIVATE simdjson::simdjson)
add_library(KestrinX::Core ALIAS KestrinXCore)
install(TARGETS KestrinXCore EXPORT KestrinXCoreTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${KESTRINX_INCLUDE_INSTALL_DIR})
install(EXPORT KestrinXCoreTargets NAMESPACE KestrinX:: DESTINATION ${KESTRINX_CMAKE_INSTALL_DIR})

# The public headers. Internal ones (the value functions' scanners, the control's re-entry flag,
# the headless host's event guard names) stay behind.
foreach(dir values forms host host/headless control propertypage)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  list(FILTER headers EXCLUDE REGEX "/(values/value_text|control/flag_scope|host/headless/event_depth)\\.h$")
  install(FILES ${headers} DESTINATION ${KESTRINX_INCLUDE_INSTALL_DIR}/${dir})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/runtime/kestrinx_abi.h DESTINATION ${KESTRINX_INCLUDE_INSTALL_DIR}/runtime)

if(TARGET kestrinx_qt)
  add_library(KestrinXQt SHARED $<TARGET_OBJECTS:kestrinx_qt_host> $<TARGET_OBJECTS:kestrinx_qt>)
  set_target_properties(KestrinXQt PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                              EXPORT_NAME Qt INSTALL_RPATH "$ORIGIN")
  target_include_directories(KestrinXQt PUBLIC $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/qt/generated>
                                               $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include_roots/kestrinx_qt_host>
                                               $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include_roots/kestrinx_qt>)
  target_link_libraries(KestrinXQt PUBLIC KestrinXCore Qt6::Widgets)
  add_library(KestrinX::Qt ALIAS KestrinXQt)
  install(TARGETS KestrinXQt EXPORT KestrinXQtTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(EXPORT KestrinXQtTargets NAMESPACE KestrinX:: DESTINATION ${KESTRINX_CMAKE_INSTALL_DIR})
  foreach(dir host/qt qt)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    install(FILES ${headers} DESTINATION ${KESTRINX_INCLUDE_INSTALL_DIR}/${dir})
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/qt/generated/qt/kestrin_widget_generated.h
          DESTINATION ${KESTRINX_INCLUDE_INSTALL_DIR}/qt)
endif()

# The component library, its type library file, the tools.
install(TARGETS KestrinX LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${KESTRINX_TYPELIB_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrinx)
foreach(tool kestrinx kestrinx-demo)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KestrinXConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/KestrinXConfig.cmake
                              INSTALL_DESTINATION ${KESTRINX_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KestrinXConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KestrinXConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/KestrinXConfigVersion.cmake
        DESTINATION ${KESTRINX_CMAKE_INSTALL_DIR})

# kestrinx.pc for the core, relocatable (paths from the file's own folder).
file(RELATIVE_PATH KESTRINX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" KESTRINX_PC_TO_PREFIX "${KESTRINX_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrinx.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kestrinx.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kestrinx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
