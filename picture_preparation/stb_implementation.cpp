// stb's resizing code lives in this file alone, compiled without our warning
// flags (see CMakeLists.txt): it is not ours to clean. It only scales pixels
// already decoded; no file of an author goes through stb.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
