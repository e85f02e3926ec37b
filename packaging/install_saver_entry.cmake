# Run by `cmake --install` and by cpack: writes one saver's desktop entry
# for xfce4-screensaver and MATE with the saver's full installed path, and
# installs it. Set by the caller: SAVER_NAME, SAVER_LABEL, SAVER_COMMENT,
# SAVER_DIR and ENTRY_DIR (each relative to the prefix, or absolute),
# TEMPLATE and SCRATCH_DIR.
set(SAVER_PATH ${SAVER_DIR}/${SAVER_NAME})
cmake_path(ABSOLUTE_PATH SAVER_PATH BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE)
cmake_path(ABSOLUTE_PATH ENTRY_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE)

# Exec= is split like a shell line: a path with spaces goes in double
# quotes. Characters that would need escaping on two levels (desktop-file
# and Exec quoting) are refused rather than written wrong.
if(SAVER_PATH MATCHES "[\"`$\\%]" OR SAVER_PATH MATCHES "[\n\r\t]")
  message(FATAL_ERROR "The saver's install path ${SAVER_PATH} holds characters a desktop entry's Exec= "
                      "cannot carry plainly (\" ` $ \\ % or a control character); choose another prefix.")
endif()
if(SAVER_PATH MATCHES " ")
  set(SAVER_EXEC "\"${SAVER_PATH}\"")
else()
  set(SAVER_EXEC "${SAVER_PATH}")
endif()

configure_file(${TEMPLATE} ${SCRATCH_DIR}/${SAVER_NAME}.desktop @ONLY)
# file(INSTALL) puts $DESTDIR in front and records the file in the manifest.
file(INSTALL ${SCRATCH_DIR}/${SAVER_NAME}.desktop DESTINATION "${ENTRY_DIR}")
