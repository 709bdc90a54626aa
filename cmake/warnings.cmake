# Warnings for every target of ours; libraries link `zorbel_warnings`.
add_library(zorbel_warnings INTERFACE)
if(MSVC)
  target_compile_options(zorbel_warnings INTERFACE /W4 /permissive-)
  if(ZORBEL_WERROR)
    target_compile_options(zorbel_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(zorbel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(ZORBEL_WERROR)
    target_compile_options(zorbel_warnings INTERFACE -Werror)
  endif()
endif()
