# Installs the player's package into STAGING with NPM (exactly as package-lock.json pins
# it) and copies what plays into DESTINATION, the list last so that a broken run leaves no
# list behind.
foreach(variable NPM SOURCE STAGING DESTINATION)
  if(NOT ${variable})
    message(FATAL_ERROR "install_player.cmake needs -D${variable}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY ${STAGING})
file(COPY ${SOURCE}/package.json ${SOURCE}/package-lock.json DESTINATION ${STAGING})
execute_process(
  COMMAND ${NPM} ci --omit=dev --ignore-scripts --no-audit --no-fund --loglevel=error
  WORKING_DIRECTORY ${STAGING}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "npm ci failed (${result}): the Flash player could not be installed")
endif()

set(package ${STAGING}/node_modules/@ruffle-rs/ruffle)
file(GLOB cores RELATIVE ${package} ${package}/core.ruffle.*.js)
file(GLOB wasm RELATIVE ${package} ${package}/*.wasm)
if(NOT EXISTS ${package}/ruffle.js OR NOT cores OR NOT wasm)
  message(FATAL_ERROR "the player package lacks ruffle.js, its cores or its WebAssembly")
endif()

file(REMOVE_RECURSE ${DESTINATION})
file(MAKE_DIRECTORY ${DESTINATION})
set(files ruffle.js ${cores} ${wasm})
foreach(name ${files} LICENSE_MIT LICENSE_APACHE)
  file(COPY ${package}/${name} DESTINATION ${DESTINATION})
endforeach()
list(JOIN files "\n" listed)
file(WRITE ${DESTINATION}/player-files.txt.part "${listed}\n")
file(RENAME ${DESTINATION}/player-files.txt.part ${DESTINATION}/player-files.txt)
