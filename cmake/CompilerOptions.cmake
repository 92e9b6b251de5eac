# Options every target of the project gets: warnings as errors, and floating point that gives
# the same bits on every build (SSE2 on i686, never x87 extended precision, no contraction).
option(VARBULES_WERROR "Treat warnings as errors" ON)
set(VARBULES_SANITIZER "" CACHE STRING "Native builds only: address, undefined or thread")

function(varbules_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -ffp-contract=off)
  if(VARBULES_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    # Win32 only promises a 4-byte aligned stack to window procedures and thread entries.
    target_compile_options(${target} PRIVATE -msse2 -mfpmath=sse -mstackrealign)
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
