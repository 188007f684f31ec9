# Copies the program data folders (-DSOURCE=<data> -DTARGET=<bin>) beside the program: every
# folder of the data, as installing does, except the sample photos.
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(folder ${folders})
  if(IS_DIRECTORY "${SOURCE}/${folder}" AND NOT folder STREQUAL "samples")
    file(COPY "${SOURCE}/${folder}" DESTINATION "${TARGET}")
  endif()
endforeach()
