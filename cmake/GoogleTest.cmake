# GoogleTest from Debian's source package, compiled with whichever compiler builds the
# project, so the Windows tests link a gtest made by MinGW. Nothing is downloaded.
set(VARBULES_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${VARBULES_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${VARBULES_GTEST_SOURCE}: run tools/install-deps")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(WIN32 OR EMSCRIPTEN)
  # Debian's MinGW compilers use the win32 thread model, and the web build runs without
  # threads: there are no pthreads to use.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${VARBULES_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(WIN32)
  # The one piece of gtest that needs std::mutex gets a Win32 stand-in.
  target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/gtest-win32-notification.h)
  target_link_options(gtest PUBLIC -static -static-libgcc -static-libstdc++)
endif()
if(VARBULES_SANITIZER)
  foreach(lib gtest gtest_main)
    target_compile_options(${lib} PRIVATE -fsanitize=${VARBULES_SANITIZER})
  endforeach()
endif()
