# Build helpers shared by every folder: the host root layout, module targets and test registration.

# The build assembles a host root folder laid out as the host's installation.
set(HOSTROOT_DIR ${CMAKE_BINARY_DIR}/root CACHE INTERNAL "assembled host root")
file(MAKE_DIRECTORY ${HOSTROOT_DIR}/Modules ${HOSTROOT_DIR}/Modules/Plugin ${HOSTROOT_DIR}/Config/Vessels
     ${HOSTROOT_DIR}/Meshes ${HOSTROOT_DIR}/Scenarios ${HOSTROOT_DIR}/Sound)

# corvane_module(<target> [SUBDIR <dir>] [SONAME <name>] SOURCES ... [LIBS ...])
# A vessel or plugin module: loaded with dlopen from <root>/Modules[/<dir>]/<target>.so.
# It links no host library and carries no search path: as in the real host, its host calls bind at load time
# to whatever host loaded it.
# -fno-gnu-unique lets an unload followed by a new load run the module's load hook again (gcc only: clang makes no
# unique symbols). -fno-plt calls the host through its address table directly: a projectile makes six host calls
# per vessel and step, and every host symbol must be there at load time anyway.
function(corvane_module target)
  cmake_parse_arguments(M "" "SUBDIR;SONAME" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${M_SOURCES})
  set(outdir ${HOSTROOT_DIR}/Modules)
  if(M_SUBDIR)
    set(outdir ${HOSTROOT_DIR}/Modules/${M_SUBDIR})
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${outdir} SKIP_BUILD_RPATH ON
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique> -fno-plt)
  if(M_SONAME)
    target_link_options(${target} PRIVATE -Wl,-soname,${M_SONAME})
  endif()
  target_link_libraries(${target} PRIVATE orbiter_api ${M_LIBS})
endfunction()

# Everything under hostroot/ in the source tree is copied into the assembled host root.
function(corvane_stage_hostroot)
  file(GLOB_RECURSE files RELATIVE ${CMAKE_SOURCE_DIR}/hostroot CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/hostroot/*)
  set(outputs)
  foreach(f ${files})
    add_custom_command(OUTPUT ${HOSTROOT_DIR}/${f}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/hostroot/${f} ${HOSTROOT_DIR}/${f}
      DEPENDS ${CMAKE_SOURCE_DIR}/hostroot/${f})
    list(APPEND outputs ${HOSTROOT_DIR}/${f})
  endforeach()
  add_custom_target(hostroot_files ALL DEPENDS ${outputs})
endfunction()

# corvane_add_gtest(<name> SOURCES ... [LIBS ...] [PROPERTIES ...])
# Each test case runs in its own process, so process-wide state starts fresh; PROPERTIES are further CTest
# properties of every case (LABELS, RESOURCE_LOCK...).
function(corvane_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE HOSTROOT_DIR="${HOSTROOT_DIR}"
    SOURCE_DIR="${CMAKE_SOURCE_DIR}" BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "HOSTROOT_DIR=${HOSTROOT_DIR}" TIMEOUT 120 ${T_PROPERTIES})
endfunction()
