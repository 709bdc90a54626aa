#pragma once
// The project's home page, which the header's link opens: a name under the
// reserved .example domain until the project has a real one.

inline constexpr char HomePageAddress[] = "https://zorbel.example/";
inline constexpr char HomePageText[] = "zorbel.example";  // what the link shows
