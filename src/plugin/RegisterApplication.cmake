# Run by `cmake --install`: stores the installed program's full path as the default value of
# the key the plug-in reads, in the registry file of the installation's own configuration
# folder, <prefix>/etc/xdg, where the installed plug-in looks after the user's and the
# system's folders. Nothing is written outside the prefix; DESTDIR is honoured.
set(_application "${CMAKE_INSTALL_PREFIX}/${QM_APPLICATION_RELATIVE}")
set(_folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${QM_CONFIG_RELATIVE}")
message(STATUS "Registering: ${_folder}/Quillmoor/registry.conf -> ${_application}")
execute_process(
  COMMAND "${QM_REGISTRY_TOOL}" "${_folder}" "SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor" "${_application}"
  RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "Could not register the program for the plug-in in ${_folder}")
endif()
# Listed with the installed files, so that what removes an installation removes it too.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_folder}/Quillmoor/registry.conf")
