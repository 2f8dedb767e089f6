# The flight-level suites once more, in hostsim, against the module files built for the real host's SDK (label
# realsdk): one build of a module flies in both hosts.
if(REALHOST_PRESENT)
  include(GoogleTest)
  set(REALSDK_ROOT ${CMAKE_BINARY_DIR}/root-realsdk)
  add_custom_target(realsdk_root ALL
    COMMAND ${CMAKE_COMMAND} -DSRC=${HOSTROOT_DIR} -DDST=${REALSDK_ROOT} -DMODULES=${REALSDK_BUILD}/Modules
            -P ${CMAKE_SOURCE_DIR}/tests/realhost/make_root.cmake
    DEPENDS realsdk_modules hostroot_files
    COMMENT "host root with the real-host module files")
  foreach(suite core_vessel_test crew_vessel_test flight_host_test projectile_flight_tests addon_tests regress_test)
    if(TARGET ${suite})
      add_dependencies(${suite} realsdk_root)
      gtest_discover_tests(${suite} DISCOVERY_MODE PRE_TEST TEST_PREFIX "realsdk."
        PROPERTIES ENVIRONMENT "HOSTROOT_DIR=${REALSDK_ROOT}" TIMEOUT 120 LABELS realsdk)
    endif()
  endforeach()
endif()
