# Run by `cmake --install`: stores the installed program's full path as the default value of
# the key the plug-in reads. The value goes to /etc/xdg, or to the user's configuration
# folder when the prefix lies inside $HOME; QM_REGISTRY_CONFIG_DIR in the environment
# overrides the folder. DESTDIR is honoured.
set(_application "${CMAKE_INSTALL_PREFIX}/${QM_APPLICATION_RELATIVE}")
string(FIND "${CMAKE_INSTALL_PREFIX}/" "$ENV{HOME}/" _inHome)
if(DEFINED ENV{QM_REGISTRY_CONFIG_DIR})
  set(_folder "$ENV{QM_REGISTRY_CONFIG_DIR}")
elseif(NOT "$ENV{HOME}" STREQUAL "" AND _inHome EQUAL 0)
  if(DEFINED ENV{XDG_CONFIG_HOME} AND NOT "$ENV{XDG_CONFIG_HOME}" STREQUAL "")
    set(_folder "$ENV{XDG_CONFIG_HOME}")
  else()
    set(_folder "$ENV{HOME}/.config")
  endif()
else()
  set(_folder "/etc/xdg")
endif()
set(_folder "$ENV{DESTDIR}${_folder}")
message(STATUS "Registering: ${_folder}/Quillmoor/registry.conf -> ${_application}")
execute_process(
  COMMAND "${QM_REGISTRY_TOOL}" "${_folder}" "SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor" "${_application}"
  RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "Could not register the program for the plug-in in ${_folder}")
endif()
