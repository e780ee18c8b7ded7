# tovemar_check_version(VERSION): stops unless VERSION is four numbers of at
# most 65535 each, as the version information and the manifest hold them (a
# manifest with a larger part is invalid, and Windows refuses to start the
# program). Run as a script, `cmake -DVERSION=... -P CheckVersion.cmake`
# checks VERSION.
function(tovemar_check_version version)
  if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "a version is four numbers, not ${version}")
  endif()
  string(REPLACE "." ";" parts "${version}")
  foreach(part IN LISTS parts)
    string(LENGTH "${part}" digits)
    if(digits GREATER 5 OR part GREATER 65535)
      message(FATAL_ERROR "each part of a version is at most 65535, not ${part} in ${version}")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED VERSION)
  tovemar_check_version("${VERSION}")
endif()
