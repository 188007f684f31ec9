# Copies the program data folders (-DSOURCE=<data> -DTARGET=<bin>) beside the program: every
# folder of the data, as installing does, except the sample photos, of which the pictures go
# into the demonstration folder, where the demonstrations open them.
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(folder ${folders})
  if(IS_DIRECTORY "${SOURCE}/${folder}" AND NOT folder STREQUAL "samples")
    file(COPY "${SOURCE}/${folder}" DESTINATION "${TARGET}")
  endif()
endforeach()
file(GLOB pictures "${SOURCE}/samples/*.png")
file(COPY ${pictures} DESTINATION "${TARGET}/Demo")
