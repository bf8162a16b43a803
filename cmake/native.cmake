# Native build of the core: tests (optionally under sanitizers), benchmarks
# and fuzzers. Nothing here includes windows.h.
if(IXO_TESTS)
  add_executable(ixo_core_tests ${CORE_TESTS} ${TEST_SUPPORT}/oracle.cpp)
  target_include_directories(ixo_core_tests PRIVATE ${TEST_SUPPORT})
  target_link_libraries(ixo_core_tests PRIVATE ixo_core GTest::gtest_main)
  target_compile_options(ixo_core_tests PRIVATE ${IXO_WARNINGS})
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
