# `cmake --install` lays out the add-on package in the host's folders, with hostsim beside it to fly it.
set(PACKAGE_MODULES Corvane Pellorin)
set(PACKAGE_STAND_INS Carrier UMmu)

# Modules carry no search path: their host calls bind to whichever host loaded them.
foreach(m ${PACKAGE_MODULES})
  install(TARGETS ${m} LIBRARY DESTINATION Modules)
endforeach()
# Our stand-ins of outside add-ons and helper vessels stay apart from the add-on's own modules.
foreach(m ${PACKAGE_STAND_INS})
  if(TARGET ${m})
    install(TARGETS ${m} LIBRARY DESTINATION Modules/Stand-ins)
  endif()
endforeach()
if(TARGET OrbiterSound)
  install(TARGETS OrbiterSound LIBRARY DESTINATION Modules/Plugin)
endif()

set_target_properties(hostsim PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
install(TARGETS orbiter LIBRARY DESTINATION lib)
install(TARGETS hostsim RUNTIME DESTINATION bin)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/hostroot/Config ${CMAKE_SOURCE_DIR}/hostroot/Meshes
        ${CMAKE_SOURCE_DIR}/hostroot/Sound DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/hostroot/Modules/UMmu.dll DESTINATION Modules)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/hostroot/Scenarios/Corvane ${CMAKE_SOURCE_DIR}/hostroot/Scenarios/Crew
        DESTINATION Scenarios)
install(FILES ${CMAKE_SOURCE_DIR}/Doc/Corvane.md DESTINATION Doc)
