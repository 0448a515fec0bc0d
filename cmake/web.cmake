# web.cmake -- the show in a browser, built with emscripten: the show's
# modules on the web backend (src/platform/web), which also supplies the GL
# 1.1 subset they call. Waiting (the options window's polling, the present,
# full screen, message boxes) suspends the program with asyncify and lets the
# browser run. The show's code is built without exceptions or RTTI; only
# libopenmpt (KAVELD_OPENMPT_PREFIX, from scripts/build-openmpt-web) uses
# exceptions. The show's data is made in the page by the data generator
# (tools/datagen, on FreeType from KAVELD_FREETYPE_PREFIX, scripts/
# build-freetype-web) from the two DejaVu faces, cut to the characters the
# pictures use and preloaded as fonts/ (kaveld.data).
add_compile_options(-fno-exceptions -fno-rtti)

add_library(kaveld_gl INTERFACE)

add_library(kaveld_openmpt STATIC IMPORTED)
set_target_properties(kaveld_openmpt PROPERTIES IMPORTED_LOCATION ${KAVELD_OPENMPT_PREFIX}/lib/libopenmpt.a
  INTERFACE_INCLUDE_DIRECTORIES ${KAVELD_OPENMPT_PREFIX}/include)
add_library(kaveld_freetype STATIC IMPORTED)
set_target_properties(kaveld_freetype PROPERTIES IMPORTED_LOCATION ${KAVELD_FREETYPE_PREFIX}/lib/libfreetype.a
  INTERFACE_INCLUDE_DIRECTORIES ${KAVELD_FREETYPE_PREFIX}/include)

# The two faces the pictures' text is drawn in, cut to printable ASCII with
# their outlines and hinting as they are (the glyphs drawn are the same).
function(kaveld_web_fonts dir)
  set(faces)
  foreach(face DejaVuSans DejaVuSans-Bold)
    add_custom_command(OUTPUT ${dir}/${face}.ttf
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND timeout -k 5 120 /usr/bin/python3 -m fontTools.subset /usr/share/fonts/truetype/dejavu/${face}.ttf
        --unicodes=U+0020-007E --output-file=${dir}/${face}.ttf
      VERBATIM)
    list(APPEND faces ${dir}/${face}.ttf)
  endforeach()
  add_custom_target(kaveld-web-fonts DEPENDS ${faces})
  add_dependencies(kaveld kaveld-web-fonts)
endfunction()

# The site: index.html, kaveld.js, kaveld.wasm and kaveld.data (the fonts) in site/.
function(kaveld_web_program)
  set(site ${CMAKE_BINARY_DIR}/site)
  set(library ${CMAKE_SOURCE_DIR}/src/platform/web/library_web.js)
  add_executable(kaveld src/driver/main.cpp tools/datagen/data_in_page.cpp)
  set(page ${CMAKE_SOURCE_DIR}/src/platform/web/index.html)
  set_target_properties(kaveld PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${site} LINK_DEPENDS "${library};${page}")
  target_link_libraries(kaveld PRIVATE kaveld_core kaveld_datagen_lib kaveld_platform_web kaveld_platform_testing_off)
  kaveld_web_fonts(${CMAKE_BINARY_DIR}/fonts)
  target_link_options(kaveld PRIVATE -O3
    -sENVIRONMENT=web -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=[ccall,FS]
    -sEXPORTED_FUNCTIONS=[_main,_kaveldMakeDataFile] -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1 -sDISABLE_EXCEPTION_CATCHING=0
    -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1 -sASYNCIFY_STACK_SIZE=16384
    -sASYNCIFY_IMPORTS=[kwEnterFullScreen,kwMessageBox,kwWaitFrame,kwAudioOpen]
    --js-library ${library} --preload-file ${CMAKE_BINARY_DIR}/fonts@fonts)
  # The page, with the size and checksum of each file it downloads.
  add_custom_command(TARGET kaveld POST_BUILD
    COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/scripts/stamp-web-site ${page} ${site} VERBATIM)
endfunction()
