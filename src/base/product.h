// The product's name and the maker's addresses, as the window, the log and the boxes show them.
#pragma once

namespace tess {

inline constexpr char kProductName[] = "Tessaline";
inline constexpr char kWebSiteAddress[] = "https://www.tessaline.example/";
inline constexpr char kContactPageAddress[] = "https://www.tessaline.example/contact";

}  // namespace tess
