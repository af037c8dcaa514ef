# Writes PAGE/files.json: the program, its WebAssembly and each data file (DATA, names in
# PAGE/data) with its size and its path in the program's file system.
set(entries)
foreach(name ${DATA})
  file(SIZE ${PAGE}/data/${name} size)
  if(name STREQUAL "music.opus")
    # The show opens data/music.wma; in the page that path holds the music as Ogg Opus.
    list(APPEND entries "    {\"url\": \"data/${name}\", \"path\": \"data/music.wma\", \"size\": ${size}, \"sound\": true}")
  else()
    list(APPEND entries "    {\"url\": \"data/${name}\", \"path\": \"data/${name}\", \"size\": ${size}}")
  endif()
endforeach()
list(JOIN entries ",\n" data)
file(SIZE ${PAGE}/oyun.js script_size)
file(SIZE ${PAGE}/oyun.wasm wasm_size)
file(WRITE ${PAGE}/files.json "{
  \"script\": {\"url\": \"oyun.js\", \"size\": ${script_size}},
  \"wasm\": {\"url\": \"oyun.wasm\", \"size\": ${wasm_size}},
  \"data\": [
${data}
  ]
}
")
