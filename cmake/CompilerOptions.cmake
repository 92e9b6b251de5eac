# Options every target of the project gets: warnings as errors, and no contraction of a
# product and a sum into one rounding, so that floating point gives the same bits on every
# build. (The processor each build is for is chosen with its toolchain.)
option(VARBULES_WERROR "Treat warnings as errors" ON)
set(VARBULES_SANITIZER "" CACHE STRING "Native builds only: what -fsanitize= is given, e.g. address,undefined or thread")

function(varbules_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -ffp-contract=off)
  if(VARBULES_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
  if(VARBULES_SANITIZER)
    target_compile_options(${target} PRIVATE -fsanitize=${VARBULES_SANITIZER} -fno-omit-frame-pointer
                                             -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=${VARBULES_SANITIZER})
  endif()
endfunction()

# What the shipped programs are built from. On Windows, where the runtime is linked in
# statically: no exceptions and no RTTI, which the program never uses, so none of their
# machinery comes along; and the C runtime's own printf formats the rate, as it does for
# any program built against the system's C runtime. (Natively the runtime is shared, and
# the undefined-behaviour sanitizer wants RTTI.)
function(varbules_product_options target)
  varbules_target_options(${target})
  if(WIN32)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
    # libstdc++ switches MinGW's own printf on for every C++ header; reading <stdio.h> first,
    # with it off, keeps the C runtime's.
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
    target_compile_options(${target} PRIVATE -include stdio.h)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()
endfunction()
