# velkor_add_gtest(NAME SOURCES ... LIBS ... [TSAN] [GUI] [LABELS ...] [ENV ...])
#   One GoogleTest program with its tests registered in CTest.
#   TSAN: also built and run in the ThreadSanitizer build (all others are skipped there).
#   GUI:  needs an X display (scripts/test runs ctest under xvfb-run).
include(GoogleTest)
function(velkor_add_gtest name)
  cmake_parse_arguments(T "TSAN;GUI" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  if(VELKOR_SANITIZER STREQUAL "fuzz")
    return()
  endif()
  if(VELKOR_SANITIZER STREQUAL "thread" AND NOT T_TSAN)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VELKOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELKOR_BINARY_DIR="${CMAKE_BINARY_DIR}"
    VELKOR_STAGE_DIR="${VELKOR_STAGE_DIR}")
  # Empty values vanish from a property list and shift the pairs after them, so only the
  # properties that have a value are passed.
  set(properties TIMEOUT 300)
  set(labels ${T_LABELS})
  if(T_GUI)
    list(APPEND labels gui)
  endif()
  if(labels)
    list(APPEND properties LABELS "${labels}")
  endif()
  if(T_ENV)
    list(APPEND properties ENVIRONMENT "${T_ENV}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()

# velkor_add_fuzzer(NAME SOURCES ... LIBS ... [SECONDS n])
#   A libFuzzer target (fuzz build only) plus a short smoke run registered in CTest.
function(velkor_add_fuzzer name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT VELKOR_SANITIZER STREQUAL "fuzz")
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 15)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  set(dirs ${corpus})
  if(EXISTS ${seeds})
    list(APPEND dirs ${seeds})
  endif()
  add_test(NAME ${name}-smoke
    COMMAND $<TARGET_FILE:${name}> -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${dirs})
  file(MAKE_DIRECTORY ${corpus})
  set_tests_properties(${name}-smoke PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
