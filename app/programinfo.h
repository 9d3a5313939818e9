#pragma once

// Names and addresses the windows show.
namespace ProgramInfo {
inline constexpr char Title[] = "Зелтрак ПДД";
inline constexpr char MainCaption[] = "Зелтрак ПДД ZOZAV";
inline constexpr char MessageCaption[] = "ЗЕЛТРАК ПДД ZOZAV 2007";
inline constexpr char AboutCaption[] = "О программе Зелтрак ПДД ZOZAV 2007";
inline constexpr char Authors[] = "Авторы: команда «Зелтрак»";
inline constexpr char WebSite[] = "www.zeltrak.example.org";
inline constexpr char Email[] = "otzyv@zeltrak.example.org";
inline constexpr char SourceAddress[] = "https://www.zeltrak.example.org/source";
// The release, from the build (the same as "dbv --version" prints).
inline constexpr char Version[] = ZELTRAK_VERSION;
} // namespace ProgramInfo
