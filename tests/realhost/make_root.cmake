# A host root for hostsim in which the Corvane and the Pellorin are the files built for the real host's SDK:
# everything else is linked from the assembled root. Run with -DSRC=<assembled root> -DDST=<new root>
# -DMODULES=<folder of libCorvane.so and libPellorin.so>.
file(REMOVE_RECURSE ${DST})
file(MAKE_DIRECTORY ${DST}/Modules)
foreach(entry Config Meshes Scenarios Sound)
  file(CREATE_LINK ${SRC}/${entry} ${DST}/${entry} SYMBOLIC)
endforeach()
file(GLOB modules RELATIVE ${SRC}/Modules ${SRC}/Modules/*)
foreach(entry ${modules})
  if(NOT entry MATCHES "^(lib)?(Corvane|Pellorin)\\.so$")
    file(CREATE_LINK ${SRC}/Modules/${entry} ${DST}/Modules/${entry} SYMBOLIC)
  endif()
endforeach()
foreach(m libCorvane.so libPellorin.so)
  file(CREATE_LINK ${MODULES}/${m} ${DST}/Modules/${m} SYMBOLIC)
endforeach()
