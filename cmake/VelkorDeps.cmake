# Every third-party dependency, found once for the whole tree.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# Debian's FLTKConfig.cmake names files the -dev package does not ship (fluid), so FLTK is
# found by its header and libraries directly.
find_path(FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
find_library(FLTK_BASE_LIB fltk REQUIRED)
find_library(FLTK_IMAGES_LIB fltk_images REQUIRED)
if(NOT TARGET Velkor::fltk)
  add_library(Velkor::fltk INTERFACE IMPORTED)
  target_include_directories(Velkor::fltk SYSTEM INTERFACE ${FLTK_INCLUDE_DIR})
  target_link_libraries(Velkor::fltk INTERFACE ${FLTK_IMAGES_LIB} ${FLTK_BASE_LIB} X11)
endif()

find_package(CURL REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS serialization thread chrono filesystem)
find_package(OpenSSL REQUIRED)
find_package(ZLIB REQUIRED)
find_package(SQLite3 REQUIRED)
pkg_check_modules(UUID REQUIRED IMPORTED_TARGET uuid)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

find_library(MBEDCRYPTO_LIB mbedcrypto REQUIRED)
find_path(MBEDTLS_INCLUDE_DIR mbedtls/aes.h REQUIRED)
if(NOT TARGET Velkor::mbedcrypto)
  add_library(Velkor::mbedcrypto INTERFACE IMPORTED)
  target_include_directories(Velkor::mbedcrypto SYSTEM INTERFACE ${MBEDTLS_INCLUDE_DIR})
  target_link_libraries(Velkor::mbedcrypto INTERFACE ${MBEDCRYPTO_LIB})
endif()

if(VELKOR_BUILD_TESTS)
  find_package(GTest REQUIRED)
  # The SSDP stack of the discovery tests' device (the tool's discovery is its own code).
  pkg_check_modules(GSSDP REQUIRED IMPORTED_TARGET gssdp-1.6)
endif()
if(VELKOR_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
