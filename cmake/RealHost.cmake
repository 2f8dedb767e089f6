# The two modules built for the real host from ORBITER_SDK_DIR: libCorvane.so and libPellorin.so, linked with the
# SDK's glue library and no other host library (the host resolves every host call from its own executable).
set(SDK_INCLUDE ${ORBITER_SDK_DIR}/include)
set(SDK_GLUE ${ORBITER_SDK_DIR}/lib/libOrbitersdk.a)
if(NOT EXISTS ${SDK_INCLUDE}/Orbitersdk.h OR NOT EXISTS ${SDK_GLUE})
  message(FATAL_ERROR "ORBITER_SDK_DIR=${ORBITER_SDK_DIR} holds no include/Orbitersdk.h and lib/libOrbitersdk.a")
endif()
# The host's headers pull in GLFW's.
find_path(GLFW_INCLUDE GLFW/glfw3.h)
if(NOT GLFW_INCLUDE)
  message(FATAL_ERROR "the host's headers need GLFW/glfw3.h (Debian package libglfw3-dev)")
endif()

# The host's headers are not clean under -Wextra: they are system headers here.
add_library(orbiter_api INTERFACE)
target_include_directories(orbiter_api SYSTEM INTERFACE ${SDK_INCLUDE} ${GLFW_INCLUDE})
add_subdirectory(core/portable)

set(REALHOST_MODULE_DIR ${CMAKE_BINARY_DIR}/Modules)
function(realhost_module target)
  add_library(${target} MODULE ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "lib" SUFFIX ".so" LIBRARY_OUTPUT_DIRECTORY ${REALHOST_MODULE_DIR}
    SKIP_BUILD_RPATH ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique> -fno-plt)
  target_link_options(${target} PRIVATE -Wl,-soname,lib${target}.so)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE orbiter_api hostport ${SDK_GLUE})
  install(TARGETS ${target} LIBRARY DESTINATION Modules)
endfunction()

file(GLOB CORVANE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/core/*.cpp ${CMAKE_SOURCE_DIR}/core/entry/*.cpp
     ${CMAKE_SOURCE_DIR}/flight/*.cpp ${CMAKE_SOURCE_DIR}/crew/*.cpp ${CMAKE_SOURCE_DIR}/sound/*.cpp)
file(GLOB PELLORIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/projectile/*.cpp)
realhost_module(Corvane ${CORVANE_SOURCES})
realhost_module(Pellorin ${PELLORIN_SOURCES})

# What the real-host flights add to their copy of the host, never part of the pilot's package: the script
# player (and the one-key plugin), the stand-ins of the outside add-ons and the helper vessels, built for this
# host, with the class files, scenarios and scripts that need them. All of it lands in <build>/testroot, laid
# out as the host's folder.
option(CORVANE_REALHOST_TEST_PLUGINS "Build the plugins and stand-ins the real-host flights use" OFF)
if(CORVANE_REALHOST_TEST_PLUGINS)
  set(TESTROOT ${CMAKE_BINARY_DIR}/testroot)
  function(realhost_test_module target subdir)
    cmake_parse_arguments(M "" "" "SOURCES;INCLUDES;DEFINES" ${ARGN})
    add_library(${target} MODULE ${M_SOURCES})
    set_target_properties(${target} PROPERTIES PREFIX "lib" SUFFIX ".so"
      LIBRARY_OUTPUT_DIRECTORY ${TESTROOT}/Modules/${subdir} SKIP_BUILD_RPATH ON CXX_VISIBILITY_PRESET hidden)
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    target_compile_definitions(${target} PRIVATE STAND_IN_FOR_REAL_HOST ${M_DEFINES})
    target_link_options(${target} PRIVATE -Wl,-soname,lib${target}.so)
    target_include_directories(${target} PRIVATE ${M_INCLUDES})
    target_link_libraries(${target} PRIVATE orbiter_api hostport ${SDK_GLUE})
  endfunction()
  set(ADDONS ${CMAKE_SOURCE_DIR}/hostsim/addons)
  file(GLOB SCRIPT_TEXT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/hostsim/text/*.cpp)
  realhost_test_module(ScriptPlayer Plugin SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/plugin/script_player.cpp
    ${SCRIPT_TEXT_SOURCES} INCLUDES ${CMAKE_SOURCE_DIR}/hostsim/text)
  realhost_test_module(HoldKey Plugin SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/plugin/hold_key.cpp)
  realhost_test_module(OrbiterSound Plugin SOURCES ${ADDONS}/orbitersound/orbitersound.cpp INCLUDES ${ADDONS})
  realhost_test_module(Carrier Stand-ins SOURCES ${ADDONS}/carrier/carrier.cpp INCLUDES ${ADDONS} ${ADDONS}/carrier)
  realhost_test_module(UMmu Stand-ins SOURCES ${ADDONS}/ummu/ummu.cpp ${ADDONS}/ummu/ummu_record.cpp
    INCLUDES ${ADDONS}/ummu)
  realhost_test_module(LinkProbe Stand-ins SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/probe/link_probe.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/tests/realhost/probe/LinkProbe.cfg ${TESTROOT}/Config/Vessels/LinkProbe.cfg
    COPYONLY)
  # One that writes where its host puts the Sun and its planet.
  realhost_test_module(SkyProbe "" SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/probe/sky_probe.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/tests/realhost/probe/SkyProbe.cfg ${TESTROOT}/Config/Vessels/SkyProbe.cfg
    COPYONLY)
  # A vessel that only rises on a steady push: both hosts fly it by their gravity and their turning Earth alone.
  realhost_test_module(Lifter "" SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/plugin/lifter.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/tests/realhost/plugin/Lifter.cfg ${TESTROOT}/Config/Vessels/Lifter.cfg COPYONLY)
  # One that a push lifts for a second: it falls back and comes to rest on three points.
  realhost_test_module(Hopper "" SOURCES ${CMAKE_SOURCE_DIR}/tests/realhost/plugin/hopper.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/tests/realhost/plugin/Hopper.cfg ${TESTROOT}/Config/Vessels/Hopper.cfg COPYONLY)
  set(HOSTROOT_SRC ${CMAKE_SOURCE_DIR}/hostroot)
  file(GLOB_RECURSE TESTROOT_FILES RELATIVE ${HOSTROOT_SRC} CONFIGURE_DEPENDS
       ${HOSTROOT_SRC}/Config/Vessels/*.cfg ${HOSTROOT_SRC}/Config/UMMUIdConfig/*
       ${HOSTROOT_SRC}/Modules/* ${HOSTROOT_SRC}/Meshes/Target.msh ${HOSTROOT_SRC}/Scenarios/Corvane/*)
  foreach(f ${TESTROOT_FILES})
    configure_file(${HOSTROOT_SRC}/${f} ${TESTROOT}/${f} COPYONLY)
  endforeach()
  # Modules an outside author would write against the host's SDK alone: no project code and no host library
  # beyond the SDK's glue, each with its class files and scenarios.
  function(outside_module target dir)
    add_library(${target} MODULE ${CMAKE_SOURCE_DIR}/tests/outside/${dir}/${dir}.cpp)
    set_target_properties(${target} PROPERTIES PREFIX "lib" SUFFIX ".so" LIBRARY_OUTPUT_DIRECTORY ${TESTROOT}/Modules
      SKIP_BUILD_RPATH ON)
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    target_link_options(${target} PRIVATE -Wl,-soname,lib${target}.so)
    target_link_libraries(${target} PRIVATE orbiter_api ${SDK_GLUE})
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/outside/${dir}/*.cfg
         ${CMAKE_SOURCE_DIR}/tests/outside/${dir}/*.scn)
    foreach(f ${files})
      get_filename_component(name ${f} NAME)
      if(name MATCHES "\\.cfg$")
        configure_file(${f} ${TESTROOT}/Config/Vessels/${name} COPYONLY)
      else()
        configure_file(${f} ${TESTROOT}/Scenarios/Outside/${name} COPYONLY)
      endif()
    endforeach()
  endfunction()
  outside_module(OutsideLander lander)
  outside_module(OutsideAircraft aircraft)
  outside_module(OutsideTug tug)
  # The crew add-on brings a mesh for each kind of member; the stand-in's is one plain figure under every name.
  foreach(m ummu ummuMED ummuSCI ummuSEC ummuTECH ummuVIP ummup)
    configure_file(${ADDONS}/ummu/member.msh ${TESTROOT}/Meshes/ummu/${m}.msh COPYONLY)
  endforeach()
endif()

# The package a pilot on the Linux host unpacks into the host's folder.
install(FILES ${CMAKE_SOURCE_DIR}/hostroot/Config/Vessels/Corvane.cfg ${CMAKE_SOURCE_DIR}/hostroot/Config/Vessels/Pellorin.cfg
        DESTINATION Config/Vessels)
install(FILES ${CMAKE_SOURCE_DIR}/hostroot/Meshes/Corvane.msh ${CMAKE_SOURCE_DIR}/hostroot/Meshes/corvane-hspace.msh
        ${CMAKE_SOURCE_DIR}/hostroot/Meshes/Pellorin.msh DESTINATION Meshes)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/hostroot/Sound/corvane DESTINATION Sound)
# Only the scenarios the package's own classes fly: the demo and the carrier scenario need the helper vessels
# (carrier, target) that exist only beside hostsim, and the host stops at a class it cannot find.
foreach(scenario Orbit Runway DockedPair)
  install(FILES ${CMAKE_SOURCE_DIR}/hostroot/Scenarios/Corvane/${scenario}.scn DESTINATION Scenarios/Corvane)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/Doc/Corvane.md DESTINATION Doc)

set(CPACK_PACKAGE_NAME Corvane)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_FILE_NAME Corvane-linux-host)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
