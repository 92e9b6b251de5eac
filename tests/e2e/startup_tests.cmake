# The saver's start-up under Wine: every switch from the real command line, the settings
# dialog driven as a user would, the stored count on screen, and the Windows 9x password.
# Included from this folder's CMakeLists.txt, inside its Windows part.

# Small acts of the desktop and the user, from another process (see its header comment).
add_executable(desktop_tool desktop_tool.cpp)
varbules_target_options(desktop_tool)

# A witness of the Wine session's end (see its header comment).
add_executable(session_sentinel session_sentinel.cpp)
varbules_target_options(session_sentinel)

# A PASSWORD.CPL of our own that refuses once, then accepts.
add_library(password_cpl SHARED password_cpl.cpp)
set_target_properties(password_cpl PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX ".CPL")
# Exported under its plain name, as the system's module does, not as VerifyScreenSavePwd@4.
target_link_options(password_cpl PRIVATE -Wl,--kill-at)
varbules_target_options(password_cpl)

if(TARGET Varbule)
  add_test(NAME wine_settings_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_settings_test.sh
                   $<TARGET_FILE:Varbule> $<TARGET_FILE:desktop_tool> $<TARGET_FILE:window_probe>)
  add_test(NAME wine_switches_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_switches_test.sh
                   $<TARGET_FILE:Varbule> $<TARGET_FILE:window_probe>)
  add_test(NAME wine_win9x_password_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_win9x_test.sh
                   $<TARGET_FILE:Varbule> $<TARGET_FILE:window_probe> $<TARGET_FILE:desktop_tool>
                   $<TARGET_FILE:password_cpl> $<TARGET_FILE:session_sentinel>)
  set_tests_properties(wine_settings_e2e wine_switches_e2e PROPERTIES
                       TIMEOUT ${VARBULES_E2E_TIMEOUT} RUN_SERIAL TRUE SKIP_RETURN_CODE 77 ENVIRONMENT "${e2e_env}")
  # The settings file of the user's own: its own prefix, whose APPDATA it writes in and
  # which it switches to Windows 9x mode at the end.
  add_test(NAME wine_user_settings_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_user_settings_test.sh
                   $<TARGET_FILE:Varbule> $<TARGET_FILE:desktop_tool> $<TARGET_FILE:window_probe>)
  set_tests_properties(wine_user_settings_e2e PROPERTIES
                       TIMEOUT ${VARBULES_E2E_TIMEOUT} RUN_SERIAL TRUE SKIP_RETURN_CODE 77
                       ENVIRONMENT "VARBULES_WINE_ARCH=${wine_arch};VARBULES_WINEPREFIX=${CMAKE_BINARY_DIR}/wine-user-settings")
  # Two monitors, full screen and in Windows 9x mode. A display of two monitors is
  # remembered in the prefix's registry, and Windows 9x mode is set there: a prefix of
  # its own.
  add_test(NAME wine_monitors_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_monitors_test.sh
                   $<TARGET_FILE:Varbule> $<TARGET_FILE:window_probe> $<TARGET_FILE:desktop_tool>
                   $<TARGET_FILE:password_cpl>)
  set_tests_properties(wine_monitors_e2e PROPERTIES
                       TIMEOUT ${VARBULES_E2E_TIMEOUT} RUN_SERIAL TRUE SKIP_RETURN_CODE 77
                       ENVIRONMENT "VARBULES_WINE_ARCH=${wine_arch};VARBULES_WINEPREFIX=${CMAKE_BINARY_DIR}/wine-monitors")
  # Windows 9x mode changes the prefix's registry, so it gets a prefix of its own.
  set_tests_properties(wine_win9x_password_e2e PROPERTIES
                       TIMEOUT ${VARBULES_E2E_TIMEOUT} RUN_SERIAL TRUE SKIP_RETURN_CODE 77
                       ENVIRONMENT "VARBULES_WINE_ARCH=${wine_arch};VARBULES_WINEPREFIX=${CMAKE_BINARY_DIR}/wine-win9x")
endif()
