# The Windows program and its tests, cross-built with MinGW-w64 and run
# under Wine. Every text literal of the Windows side is compiled to code
# page 932 bytes, the program's one text encoding.
set(IXO_WIN_OPTIONS ${IXO_WARNINGS} -fexec-charset=CP932)

set(WIN32_SRC
  src/win32/file.cpp
  src/win32/page_fetch.cpp
  src/win32/shortcut.cpp
  src/win32/wide.cpp)
set(SETTINGS_SRC
  src/settings/history.cpp
  src/settings/options.cpp
  src/settings/profile.cpp)
set(CLIPBOARD_SRC
  src/clipboard/clipboard.cpp)
set(WINGUI_SRC
  src/wingui/app.cpp
  src/wingui/controls.cpp
  src/wingui/dialog_controls.cpp
  src/wingui/errorbox.cpp
  src/wingui/form.cpp
  src/wingui/menu.cpp
  src/wingui/shbffex.cpp
  src/wingui/timer.cpp
  src/wingui/window.cpp)
set(UI_SRC
  src/ui/main.cpp
  src/ui/optionbox.cpp
  src/ui/page_titles.cpp
  src/ui/tray.cpp)
set(WIN_TESTS
  src/win32/cp932_parity_test.cpp
  src/win32/file_test.cpp
  src/win32/leadbyte_test.cpp
  src/win32/page_fetch_test.cpp
  src/win32/scoped_test.cpp
  src/win32/shortcut_test.cpp
  src/win32/wide_test.cpp
  src/settings/history_test.cpp
  src/settings/options_test.cpp
  src/settings/profile_test.cpp
  src/clipboard/clipboard_test.cpp
  src/wingui/app_test.cpp
  src/wingui/controls_test.cpp
  src/wingui/errorbox_test.cpp
  src/wingui/form_test.cpp
  src/wingui/menu_test.cpp
  src/wingui/shbffex_test.cpp
  src/wingui/timer_test.cpp
  src/wingui/window_test.cpp
  src/ui/main_test.cpp
  src/ui/optionbox_keyboard_test.cpp
  src/ui/optionbox_test.cpp
  src/ui/tray_test.cpp
  src/ui/viewer_test.cpp)
set(WIN_SUPPORT
  ${TEST_SUPPORT}/oracle.cpp
  ${TEST_SUPPORT}/win_bridge.cpp
  ${TEST_SUPPORT}/win_clipboard.cpp
  ${TEST_SUPPORT}/win_ui.cpp)
# The version from project(), for the resources and the About page.
set(IXO_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(cmake/version.h.in ${IXO_GENERATED}/ixo_version.h @ONLY)
configure_file(src/ui/ixo.manifest.in ${IXO_GENERATED}/ixo.manifest @ONLY)

# The floors, each linking only those below it (see ixo_floor). The window
# layer stands above the settings and the clipboard but knows nothing of
# Ixo, so it links neither.
ixo_floor(win32 ${WIN32_SRC})
target_link_libraries(ixo_win32 PUBLIC ixo_core user32 gdi32 winhttp)
target_compile_definitions(ixo_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)

ixo_floor(settings ${SETTINGS_SRC})
target_link_libraries(ixo_settings PUBLIC ixo_win32)

ixo_floor(clipboard ${CLIPBOARD_SRC})
target_link_libraries(ixo_clipboard PUBLIC ixo_win32)

ixo_floor(wingui ${WINGUI_SRC})
target_link_libraries(ixo_wingui PUBLIC ixo_win32 shell32 ole32 comctl32 uuid)

ixo_floor(ui ${UI_SRC})
target_link_libraries(ixo_ui PUBLIC ixo_wingui ixo_settings ixo_clipboard shell32)
target_include_directories(ixo_ui PRIVATE ${IXO_GENERATED})

foreach(floor win32 settings clipboard wingui ui)
  target_compile_options(ixo_${floor} PRIVATE ${IXO_WIN_OPTIONS})
endforeach()

enable_language(RC)
add_executable(Ixo WIN32 src/ui/winmain.cpp src/ui/ixo.rc)
target_link_libraries(Ixo PRIVATE ixo_ui)
# windres finds the generated header and manifest on the include path; it
# writes no list of what it read, so the resources name their inputs here.
target_include_directories(Ixo PRIVATE ${IXO_GENERATED})
set_source_files_properties(src/ui/ixo.rc PROPERTIES OBJECT_DEPENDS
  "${IXO_GENERATED}/ixo_version.h;${IXO_GENERATED}/ixo.manifest;${CMAKE_CURRENT_SOURCE_DIR}/src/ui/ixo.ico")
target_compile_options(Ixo PRIVATE ${IXO_WIN_OPTIONS})
# One file that runs on a bare Windows: no MinGW runtime DLLs.
target_link_options(Ixo PRIVATE -static -s -mwindows)
set_target_properties(Ixo PROPERTIES OUTPUT_NAME Ixo RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(IXO_TESTS)
  add_executable(ixo_win_tests ${CORE_TESTS} ${WIN_TESTS} ${WIN_SUPPORT})
  target_include_directories(ixo_win_tests PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_win_tests PRIVATE ixo_ui GTest::gtest_main)
  target_compile_options(ixo_win_tests PRIVATE ${IXO_WIN_OPTIONS})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 warns falsely about overlapping copies where std::string takes a
    # short literal, depending on what else the file inlines.
    target_compile_options(ixo_win_tests PRIVATE -Wno-restrict)
  endif()
  target_link_options(ixo_win_tests PRIVATE -static)
  # The program's own code keeps the release build's optimisation (it is in
  # the libraries the tests link); the tests' code is built for a quick
  # compile: unoptimised, the headers every test file reads read once, and
  # the test files compiled eight to a unit.
  target_compile_options(ixo_win_tests PRIVATE -O0)
  target_precompile_headers(ixo_win_tests PRIVATE <gtest/gtest.h> <windows.h> <string> <vector>)
  set_target_properties(ixo_win_tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  add_dependencies(ixo_win_tests Ixo)
  # tests/winrun.py runs them under Wine, one process per suite, with the
  # end-to-end suite and the font test.
endif()

# Drives a running Ixo.exe from outside, for the end-to-end tests and the
# footprint measurements.
if(IXO_TESTS OR IXO_BENCH)
  add_executable(ixoctl tests/e2e/ixoctl.cpp tests/e2e/ixoctl_viewer.cpp)
  target_include_directories(ixoctl PRIVATE ${TEST_SUPPORT})
  target_compile_options(ixoctl PRIVATE ${IXO_WIN_OPTIONS})
  target_link_options(ixoctl PRIVATE -static)
  target_link_libraries(ixoctl PRIVATE psapi user32 shell32)
  # A test tool: built for a quick compile.
  target_compile_options(ixoctl PRIVATE -O0)
endif()

if(IXO_TESTS)
  add_dependencies(ixo_win_tests ixoctl)
endif()

# The times of the Windows side with their goals, for `make bench`.
if(IXO_BENCH)
  add_executable(ixo_win_bench bench/win_bench.cpp ${TEST_SUPPORT}/win_clipboard.cpp)
  target_include_directories(ixo_win_bench PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_win_bench PRIVATE ixo_settings ixo_clipboard)
  target_compile_options(ixo_win_bench PRIVATE ${IXO_WIN_OPTIONS})
  target_link_options(ixo_win_bench PRIVATE -static)
endif()

# The least a clipboard-watching program can do: bench/footprint.py runs it
# beside Ixo.exe to tell the platform's memory growth from the program's.
if(IXO_BENCH)
  add_executable(clipview WIN32 bench/clipview.cpp)
  target_compile_options(clipview PRIVATE ${IXO_WARNINGS})
  target_link_options(clipview PRIVATE -static -mwindows)
  target_link_libraries(clipview PRIVATE user32)
endif()
