# The show as a web page: the same libraries compiled to WebAssembly by Emscripten (its own
# html5.h, WebGL 2 and WebAudio; no ports), the browser's platform and renderer, and the page.
# Its data come from a desktop build, whose tools make them: the pictures, the music as Ogg
# Opus and the bitmap font's glyphs.
set(OYUN_NATIVE_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH
  "The desktop build whose data/ the page serves (scripts/web.sh builds what it needs)")
# The music first: the page asks for the files in this order, and the browser's decoding of the
# music, the longest step before Play, starts as soon as it is in.
set(OYUN_WEB_DATA_FILES music.opus mask.tga text.tga shine.tga t1.tga t2.tga cre.tga cre2.tga mivra.tga ball.tga
  ball_sur.tga glyphs.bin)
foreach(name ${OYUN_WEB_DATA_FILES})
  if(NOT EXISTS ${OYUN_NATIVE_BUILD}/data/${name})
    message(FATAL_ERROR "${OYUN_NATIVE_BUILD}/data/${name} is missing: build the desktop data first "
      "(cmake --preset release && cmake --build build --target data glyphs), or run scripts/web.sh")
  endif()
endforeach()

include_directories(${CMAKE_SOURCE_DIR})
foreach(dir base platform gfx engine model pictures sound shell demo web)
  add_subdirectory(${dir})
endforeach()

# The page's tests in headless Chromium (ctest --test-dir build-web).
enable_testing()
add_subdirectory(tests/web)
