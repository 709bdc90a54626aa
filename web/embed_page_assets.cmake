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
  string(APPEND body "const unsigned char asset_${part}[] = {${bytes}};\nconstexpr std::size_t asset_${part}_size = ${size};\n")
endforeach()
string(APPEND body "\ntemplate <std::size_t N>\nstd::string_view textOf(const unsigned char (&bytes)[N], std::size_t size) {\n"
  "    return {reinterpret_cast<const char*>(bytes), size};\n}\n\n}  // namespace\n\n"
  "const WebPageAssets& builtInWebPageAssets() {\n"
  "    static const WebPageAssets assets{textOf(asset_PAGE, asset_PAGE_size), textOf(asset_STYLE, asset_STYLE_size), textOf(asset_SCRIPT, asset_SCRIPT_size),\n"
  "                                      textOf(asset_API, asset_API_size), textOf(asset_PLATFORM, asset_PLATFORM_size),
                                      textOf(asset_MODULE, asset_MODULE_size)};\n"
  "    return assets;\n}\n")
file(WRITE ${OUTPUT}.new "${body}")
configure_file(${OUTPUT}.new ${OUTPUT} COPYONLY)
file(REMOVE ${OUTPUT}.new)
