# Compiles every picture under resources/pictures into the framework library as a table of
# (type, name, natural size, format, bytes). SVG files become type "FRAMES", PNG files
# "BITMAP"; the file name without extension is the resource name.
function(torvane_embed_pictures out)
  file(GLOB _pics CONFIGURE_DEPENDS
    "${TORVANE_SOURCE_DIR}/resources/pictures/*.svg"
    "${TORVANE_SOURCE_DIR}/resources/pictures/*.png")
  list(SORT _pics)
  add_custom_command(
    OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" -DOUT=${out} "-DFILES=${_pics}"
            -P "${TORVANE_SOURCE_DIR}/resources/embed_pictures.cmake"
    DEPENDS ${_pics} "${TORVANE_SOURCE_DIR}/resources/embed_pictures.cmake"
    COMMENT "Embedding pictures"
    VERBATIM)
endfunction()
