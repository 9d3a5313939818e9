# Debian's standard hardening for everything this project compiles and links
# (the flags dpkg-buildflags gives a package), kept in one place. Off for
# fuzzing builds.
#
#   -D_FORTIFY_SOURCE=2        checked variants of memcpy, sprintf, read...
#                              (needs optimisation, so not in Debug builds)
#   -fstack-protector-strong   a canary in every function with a local array
#   -fstack-clash-protection   large stack frames probed page by page
#   -fcf-protection            indirect branch targets marked for CET
#   -Wl,-z,relro -Wl,-z,now    every symbol bound at start-up, and the
#                              relocated data made read-only afterwards
#
# Portable builds (another compiler, Windows) get none of this.
# A fuzzing build has its sanitizers instead, which the checked functions
# would only hide.
if(ZELTRAK_FUZZ)
    set(hardening_default OFF)
else()
    set(hardening_default ON)
endif()
option(ZELTRAK_HARDENING "Build with Debian's standard hardening flags" ${hardening_default})
# Binding every symbol at start-up costs time before the first window (see
# the README for the figure); off only to measure that cost.
option(ZELTRAK_BIND_NOW "Link with -z now (part of the hardening)" ON)

if(ZELTRAK_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND UNIX AND NOT APPLE)
    add_compile_options(
        "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
        -fstack-protector-strong
        -fstack-clash-protection
        -fcf-protection)
    add_link_options(-Wl,-z,relro)
    if(ZELTRAK_BIND_NOW)
        add_link_options(-Wl,-z,now)
    endif()
endif()
