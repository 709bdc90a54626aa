#pragma once
// The project's home page, which the header's link opens: a name under the
// reserved .example domain until the project has a real one.

#include <string_view>

inline constexpr char HomePageAddress[] = "https://zorbel.example/";
inline constexpr char HomePageText[] = "zorbel.example";  // what the link shows

// False while the address is the placeholder, which leads nowhere.
constexpr bool homePageIsReal() { return std::string_view(HomePageAddress).find(".example/") == std::string_view::npos; }
