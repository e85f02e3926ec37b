# Lays every picture out on one sheet with its content words, size and ids,
# as they look (north up): cmake -DPICTURE_DIR=... -DOUTPUT=... -P contact_sheet.cmake
find_program(MONTAGE montage)
if(NOT MONTAGE)
  message(FATAL_ERROR "The contact sheet needs ImageMagick's montage (Debian package imagemagick)")
endif()

file(STRINGS ${PICTURE_DIR}/manifest.txt lines)
set(arguments)
foreach(line IN LISTS lines)
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 file)
  list(GET fields 1 width)
  list(GET fields 2 height)
  list(GET fields 3 content)
  list(GET fields 4 ids)
  list(APPEND arguments -label "${content}\n${width} x ${height}\n${ids}" ${PICTURE_DIR}/${file})
endforeach()

execute_process(
  COMMAND ${MONTAGE} -font DejaVu-Sans -pointsize 10 -background "#202020" -fill "#e8e8e8"
          ${arguments} -geometry 176x176+6+4 -tile 6x
          -title "Orrelia pictures (north up) with resource ids in O orrery-saver, S planet-saver, V planet-viewer"
          -depth 8 -define png:compression-level=9 PNG24:${OUTPUT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "montage failed: ${result}")
endif()
