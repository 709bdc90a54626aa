# Writes OUTPUT, a C++ file holding the page's files and the module as byte
# arrays, and builtInWebPageAssets() over them. Run with cmake -P.
function(bytes_of variable path)
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" length)
  if(length EQUAL 0)
    set(${variable} "0" PARENT_SCOPE)  # an empty file still makes an array
    return()
  endif()
  string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()

set(parts PAGE STYLE SCRIPT API PLATFORM MODULE)
set(body "// Generated from web/page and the compiled module; do not edit.\n#include \"authoring/web_page.h\"\n\nnamespace {\n")
foreach(part ${parts})
  set(path ${${part}})
  if(NOT IS_ABSOLUTE ${path})
    set(path ${SOURCE_DIR}/${path})
  endif()
  bytes_of(bytes ${path})
  file(SIZE ${path} size)
  string(APPEND body "const unsigned char ${part}[] = {${bytes}};\nconstexpr std::size_t ${part}_SIZE = ${size};\n")
endforeach()
string(APPEND body "\ntemplate <std::size_t N>\nstd::string_view textOf(const unsigned char (&bytes)[N], std::size_t size) {\n"
  "    return {reinterpret_cast<const char*>(bytes), size};\n}\n\n}  // namespace\n\n"
  "const WebPageAssets& builtInWebPageAssets() {\n"
  "    static const WebPageAssets assets{textOf(PAGE, PAGE_SIZE), textOf(STYLE, STYLE_SIZE), textOf(SCRIPT, SCRIPT_SIZE),\n"
  "                                      textOf(API, API_SIZE), textOf(PLATFORM, PLATFORM_SIZE),
                                      textOf(MODULE, MODULE_SIZE)};\n"
  "    return assets;\n}\n")
file(WRITE ${OUTPUT}.new "${body}")
configure_file(${OUTPUT}.new ${OUTPUT} COPYONLY)
file(REMOVE ${OUTPUT}.new)
