# The Windows program and its tests, cross-built with MinGW-w64 and run
# under Wine. Every text literal of the Windows side is compiled to code
# page 932 bytes, the program's one text encoding.
set(IXO_WIN_OPTIONS ${IXO_WARNINGS} -fexec-charset=CP932)
set(IXO_WIN_LIBS user32 gdi32 shell32 ole32 oleaut32 comctl32 comdlg32 uuid)

# Which folders of the Windows side to build; narrowing it lets work on one
# subsystem build while another is half-written.
set(IXO_WIN_DIRS "win32;settings;clipboard;ui" CACHE STRING "Folders of src/ built for Windows")
ixo_sources(WIN_SRC WIN_TESTS ${IXO_WIN_DIRS})
add_library(ixo_win STATIC ${WIN_SRC})
target_link_libraries(ixo_win PUBLIC ixo_core ${IXO_WIN_LIBS})
target_compile_options(ixo_win PRIVATE ${IXO_WIN_OPTIONS})
target_compile_definitions(ixo_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)

set(IXO_RESOURCES)
file(GLOB IXO_RC CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/*.rc)
if(IXO_RC)
  enable_language(RC)
  set(IXO_RESOURCES ${IXO_RC})
endif()

add_executable(Ixo WIN32 src/ui/winmain.cpp ${IXO_RESOURCES})
target_link_libraries(Ixo PRIVATE ixo_win)
target_compile_options(Ixo PRIVATE ${IXO_WIN_OPTIONS})
# One file that runs on a bare Windows: no MinGW runtime DLLs.
target_link_options(Ixo PRIVATE -static -s -mwindows)
set_target_properties(Ixo PROPERTIES OUTPUT_NAME Ixo RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(IXO_TESTS)
  add_executable(ixo_win_tests ${CORE_TESTS} ${WIN_TESTS} ${SUPPORT_SRC})
  target_include_directories(ixo_win_tests PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_win_tests PRIVATE ixo_win GTest::gtest_main)
  target_compile_options(ixo_win_tests PRIVATE ${IXO_WIN_OPTIONS})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 warns falsely about overlapping copies where std::string takes a
    # short literal, depending on what else the file inlines.
    target_compile_options(ixo_win_tests PRIVATE -Wno-restrict)
  endif()
  target_link_options(ixo_win_tests PRIVATE -static)
  target_compile_definitions(ixo_win_tests PRIVATE
    IXO_EXE_PATH="${CMAKE_BINARY_DIR}/Ixo.exe"
    IXO_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  add_dependencies(ixo_win_tests Ixo)
  # Tests are listed when CTest runs (under tools/winenv.sh), not at build
  # time, so building needs no display or Wine prefix.
  gtest_discover_tests(ixo_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120 FIXTURES_REQUIRED desktop)
endif()

# Drives a running Ixo.exe from outside, for the end-to-end tests and the
# footprint measurements.
add_executable(ixoctl tests/e2e/ixoctl.cpp)
target_include_directories(ixoctl PRIVATE ${TEST_SUPPORT})
target_compile_options(ixoctl PRIVATE ${IXO_WIN_OPTIONS})
target_link_options(ixoctl PRIVATE -static)
target_link_libraries(ixoctl PRIVATE psapi user32 shell32)

if(IXO_TESTS)
  find_package(Python3 COMPONENTS Interpreter)
  if(Python3_FOUND)
    # A program on Wine's desktop for the whole run (see tests/desktop.py).
    add_test(NAME desktop-up COMMAND ${Python3_EXECUTABLE}
             ${CMAKE_CURRENT_SOURCE_DIR}/tests/desktop.py up ${CMAKE_BINARY_DIR})
    add_test(NAME desktop-down COMMAND ${Python3_EXECUTABLE}
             ${CMAKE_CURRENT_SOURCE_DIR}/tests/desktop.py down ${CMAKE_BINARY_DIR})
    set_tests_properties(desktop-up PROPERTIES FIXTURES_SETUP desktop TIMEOUT 120)
    set_tests_properties(desktop-down PROPERTIES FIXTURES_CLEANUP desktop TIMEOUT 120)
    add_test(NAME e2e COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/e2e.py
             ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e PROPERTIES TIMEOUT 600 FIXTURES_REQUIRED desktop)
    # A fresh Wine prefix gets the program's Japanese fonts mapped.
    add_test(NAME fonts COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/fonts_test.py
             ${CMAKE_BINARY_DIR}/fonts-test)
    set_tests_properties(fonts PROPERTIES TIMEOUT 300)
  endif()
  add_dependencies(ixo_win_tests ixoctl)
endif()

# The times of the Windows side with their goals, for `make bench`.
if(IXO_TESTS)
  add_executable(ixo_win_bench bench/win_bench.cpp ${TEST_SUPPORT}/win_clipboard.cpp)
  target_include_directories(ixo_win_bench PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_win_bench PRIVATE ixo_win)
  target_compile_options(ixo_win_bench PRIVATE ${IXO_WIN_OPTIONS})
  target_link_options(ixo_win_bench PRIVATE -static)
endif()

# The least a clipboard-watching program can do: tools/footprint.py runs it
# beside Ixo.exe to tell the platform's memory growth from the program's.
add_executable(clipview WIN32 bench/clipview.cpp)
target_compile_options(clipview PRIVATE ${IXO_WARNINGS})
target_link_options(clipview PRIVATE -static -mwindows)
target_link_libraries(clipview PRIVATE user32)
