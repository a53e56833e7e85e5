# page.cmake -- the game as a web page: cragmoor.js and cragmoor.wasm, and the data files
# packed into cragmoor.data with the script that loads them, cragmoor-data.js. The data
# has a script of its own so that a page can be given another set of files unchanged.
set(CRAGMOOR_PAGE_LINK_OPTIONS
  # The game waits for keys and pauses in SDL_Delay: the page's event loop runs meanwhile.
  -sASYNCIFY
  # The title screen's Escape ends the program through exit(): the page hears of it.
  -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1
  -sALLOW_MEMORY_GROWTH=1
  -sENVIRONMENT=web
  -O2)
set_target_properties(cragmoor PROPERTIES SUFFIX .js)
target_link_options(cragmoor PRIVATE ${CRAGMOOR_PAGE_LINK_OPTIONS})

file(GLOB page_data CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*.png ${PROJECT_SOURCE_DIR}/data/*.wav)
set(packed)
foreach(file ${page_data})
  get_filename_component(name ${file} NAME)
  list(APPEND packed ${file}@/data/${name})
endforeach()
add_custom_command(
  OUTPUT cragmoor.data cragmoor-data.js
  COMMAND python3 ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py cragmoor.data
          --preload ${packed} --js-output=cragmoor-data.js --no-node
  # The packer names each package with a random id, which only its unused browser cache
  # reads: a fixed one makes the same files give the same release.
  COMMAND sed -i -E "s/\"package_uuid\": \"[^\"]*\"/\"package_uuid\": \"cragmoor-${PROJECT_VERSION}\"/"
          cragmoor-data.js
  DEPENDS ${page_data}
  VERBATIM)
add_custom_target(cragmoor_data ALL DEPENDS cragmoor.data cragmoor-data.js)

# The page's speed, measured in a browser by bench/web/measure.py; not part of the release.
add_subdirectory(bench/web)
