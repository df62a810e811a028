# Compiler flags shared by every target of the project.
option(VELKOR_BUILD_TESTS "Build the test suite" ON)
option(VELKOR_BUILD_BENCH "Build the benchmarks" OFF)

add_compile_options(-Wall -Wextra)
# The test builds treat every warning as an error, so none creeps in; the plain build (install,
# benchmarks) only reports them.
if(VELKOR_SANITIZER MATCHES "^(asan|thread|fuzz)$")
  add_compile_options(-Werror)
endif()
# Boost 1.74 prints a pragma message about bind placeholders otherwise.
add_compile_definitions(BOOST_BIND_GLOBAL_PLACEHOLDERS BOOST_ALLOW_DEPRECATED_HEADERS)

if(VELKOR_SANITIZER STREQUAL "asan")
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${_san})
  add_link_options(${_san})
elseif(VELKOR_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(VELKOR_SANITIZER STREQUAL "fuzz")
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELKOR_SANITIZER=fuzz needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# A compiler cache makes rebuilds cheap, also across build folders: used when it is installed
# and no launcher was chosen (CMAKE_<LANG>_COMPILER_LAUNCHER, also from the environment).
find_program(VELKOR_CCACHE ccache)
mark_as_advanced(VELKOR_CCACHE)
foreach(lang C CXX)
  if(VELKOR_CCACHE AND NOT CMAKE_${lang}_COMPILER_LAUNCHER)
    set(CMAKE_${lang}_COMPILER_LAUNCHER ${VELKOR_CCACHE})
  endif()
endforeach()
