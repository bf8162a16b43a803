# Native build of the core: tests (optionally under sanitizers), benchmarks
# and fuzzers. Nothing here includes windows.h.
if(IXO_TESTS)
  add_executable(ixo_core_tests ${CORE_TESTS} ${TEST_SUPPORT}/oracle.cpp)
  target_include_directories(ixo_core_tests PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_core_tests PRIVATE ixo_core GTest::gtest_main)
  target_compile_options(ixo_core_tests PRIVATE ${IXO_WARNINGS})
  # As on Windows: the core keeps its build's optimisation, the tests' own
  # code is built for a quick compile, eight files to a unit.
  target_compile_options(ixo_core_tests PRIVATE -O0)
  target_precompile_headers(ixo_core_tests PRIVATE <gtest/gtest.h> <string> <vector>)
  set_target_properties(ixo_core_tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  gtest_discover_tests(ixo_core_tests DISCOVERY_TIMEOUT 60)
endif()

if(IXO_BENCH)
  find_package(benchmark REQUIRED)
  add_executable(ixo_bench bench/extract_bench.cpp ${TEST_SUPPORT}/oracle.cpp)
  target_include_directories(ixo_bench PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_bench PRIVATE ixo_core benchmark::benchmark)
  target_compile_options(ixo_bench PRIVATE ${IXO_WARNINGS})
endif()

if(IXO_FUZZ)
  set(FUZZERS cfhtml devicename dirkey extract foreign html jstring linelist number optionrules
    shortcut_file tei)
  foreach(fuzzer ${FUZZERS})
    set(name ${fuzzer}_fuzz)
    add_executable(${name} fuzz/${name}.cpp ${TEST_SUPPORT}/oracle.cpp)
    target_include_directories(${name} PRIVATE ${TEST_SUPPORT})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ixo_core)
  endforeach()
endif()
