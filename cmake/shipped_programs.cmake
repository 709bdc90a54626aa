# How the Windows programs we ship are linked.

# Functions and data that no code reaches are left out (with GCC each gets a
# section of its own, which the linker drops when unreferenced).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
endif()

# zorbel_shipped_program(TARGET): a Release build strips the program of its
# symbols and debug information (the static runtime libraries come with eight
# DWARF sections; every quiz would carry them), keeping a copy with them in
# symbols/ of the build tree for debuggers and for scripts/aligned_stack_scan.py.
function(zorbel_shipped_program target)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR NOT CMAKE_STRIP)
    return()
  endif()
  set(symbols ${CMAKE_BINARY_DIR}/symbols)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${symbols}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${symbols}/$<TARGET_FILE_NAME:${target}>
    # strip stamps the time it ran in the PE header unless given an epoch: 0, as the linker leaves it.
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# zorbel_large_address_aware(TARGET): the program may use the 4 GB a 32-bit
# program gets on 64-bit Windows, not 2: a 200-megapixel photo decoded whole
# takes 600 MB, and the editor holds its quiz beside it.
function(zorbel_large_address_aware target)
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--large-address-aware)
  endif()
endfunction()
