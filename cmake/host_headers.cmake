# lend_host_headers(VARIABLE FOLDER): a cross build cannot see the build
# machine's headers (the toolchain's find-root settings hide them). A
# header-only library installed there, /usr/include/FOLDER, is lent through a
# folder that holds only it, so no other header of the build machine can be
# picked up. VARIABLE gets that include folder, or stays unset when the build
# machine lacks the library.
function(lend_host_headers variable folder)
  if(NOT EXISTS /usr/include/${folder})
    return()
  endif()
  set(lent ${CMAKE_BINARY_DIR}/host_headers/${folder})
  file(MAKE_DIRECTORY ${lent})
  if(NOT EXISTS ${lent}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${lent}/${folder} SYMBOLIC)
  endif()
  set(${variable} ${lent} PARENT_SCOPE)
endfunction()
