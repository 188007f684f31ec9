# Copies the program data folders that exist (-DSOURCE=<data> -DTARGET=<bin>) beside the program.
foreach(folder Languages Help icons)
  if(EXISTS "${SOURCE}/${folder}")
    file(COPY "${SOURCE}/${folder}" DESTINATION "${TARGET}")
  endif()
endforeach()
