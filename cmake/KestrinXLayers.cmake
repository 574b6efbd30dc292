# Layers the build enforces. Each source folder is one library target, and each target gets an
# include root of its own: a folder in the build tree holding links to that folder's headers at
# the path code includes them by ("values/variant.h"). A target sees the headers of the targets
# it links and of nothing else, so an include of a folder the target does not link fails to
# compile. No target has the repository root on its include path.
#
# kestrinx_include_root(<target> <folder> [PRIVATE])
#   <folder>  the source folder, from the repository root ("host/headless"); only the headers
#             directly in it are linked (a sub-folder is a target of its own).
#   PRIVATE   the root is for the target's own sources only (programs, tests).
function(kestrinx_include_root target folder)
  set(scope PUBLIC)
  if(ARGV2 STREQUAL "PRIVATE")
    set(scope PRIVATE)
  endif()
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  # Made again at every configure, so a removed or renamed header leaves no stale link behind.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  if(scope STREQUAL "PUBLIC")
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  else()
    target_include_directories(${target} PRIVATE ${root})
  endif()
endfunction()

# kestrinx_library(<target> <folder> [sources...]): a static library of one folder (all of its
# .cpp files when no sources are given) with the folder's include root and the warnings.
function(kestrinx_library target folder)
  set(sources ${ARGN})
  if(NOT sources)
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  endif()
  add_library(${target} STATIC ${sources})
  kestrinx_include_root(${target} ${folder})
  target_link_libraries(${target} PRIVATE kestrinx_warnings)
endfunction()
