# Fails when a source file outside platform/ includes SDL.
file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/app/* ${ROOT}/demo/* ${ROOT}/engine/* ${ROOT}/model/* ${ROOT}/resources/*
  ${ROOT}/tools/* ${ROOT}/examples/* ${ROOT}/bench/* ${ROOT}/tests/*)
set(offenders "")
foreach(source IN LISTS sources)
  if(source MATCHES "\\.(c|cc|cpp|h|hpp)$")
    file(STRINGS ${ROOT}/${source} hits REGEX "#[ \t]*include[ \t]*[<\"]SDL")
    if(hits)
      list(APPEND offenders ${source})
    endif()
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "SDL included outside platform/: ${offenders}")
endif()
