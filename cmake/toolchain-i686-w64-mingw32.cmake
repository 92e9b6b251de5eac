# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (win32 thread model), for the
# PCs of the saver's own era: a Pentium Pro / Pentium II class processor, x87 floating
# point, no MMX and no SSE of any generation (Windows 95 and NT 4.0 do not even keep the
# SSE registers across task switches). tests/e2e/package_test.sh checks the result.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VARBULES_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_C_FLAGS_INIT "-march=pentiumpro -mtune=generic -mfpmath=387 -mno-mmx -mno-sse")
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
