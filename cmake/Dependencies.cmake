# Poco Foundation and GoogleTest come built for MinGW from scripts/setup, once for each
# architecture; SimpleIni is Debian's header, exposed alone so that the host's /usr/include stays
# off the include path.

set(_poco ${TARNWICK_DEPS}/${TARNWICK_ARCH}/poco)
if(NOT EXISTS ${_poco}/lib/libPocoFoundation.a)
  message(FATAL_ERROR "Poco Foundation for MinGW not found in ${_poco}: run scripts/setup")
endif()
# Poco's headers spell two Windows headers with capitals; MinGW's are lower case.
set(_poco_case ${CMAKE_BINARY_DIR}/poco-case-aliases)
file(WRITE ${_poco_case}/Winsock2.h "#include <winsock2.h>\n")
file(WRITE ${_poco_case}/Iphlpapi.h "#include <iphlpapi.h>\n")
add_library(Poco::Foundation STATIC IMPORTED GLOBAL)
set_target_properties(Poco::Foundation PROPERTIES
  IMPORTED_LOCATION ${_poco}/lib/libPocoFoundation.a
  INTERFACE_INCLUDE_DIRECTORIES "${_poco}/include;${_poco_case}"
  INTERFACE_COMPILE_DEFINITIONS POCO_STATIC
  INTERFACE_LINK_LIBRARIES "iphlpapi;ws2_32")

set(_simpleini_header /usr/include/SimpleIni.h)
if(NOT EXISTS ${_simpleini_header})
  message(FATAL_ERROR "SimpleIni.h not found: install libsimpleini-dev (scripts/setup)")
endif()
set(_simpleini_dir ${CMAKE_BINARY_DIR}/simpleini-include)
file(MAKE_DIRECTORY ${_simpleini_dir})
file(CREATE_LINK ${_simpleini_header} ${_simpleini_dir}/SimpleIni.h SYMBOLIC)
add_library(SimpleIni INTERFACE)
# SYSTEM: the library's own warnings are not ours to fix.
target_include_directories(SimpleIni SYSTEM INTERFACE ${_simpleini_dir})

set(_gtest ${TARNWICK_DEPS}/${TARNWICK_ARCH}/googletest)
if(NOT EXISTS ${_gtest}/lib/libgtest.a)
  message(FATAL_ERROR "GoogleTest for MinGW not found in ${_gtest}: run scripts/setup")
endif()
add_library(GTest::gtest STATIC IMPORTED GLOBAL)
set_target_properties(GTest::gtest PROPERTIES
  IMPORTED_LOCATION ${_gtest}/lib/libgtest.a
  INTERFACE_INCLUDE_DIRECTORIES ${_gtest}/include)
add_library(GTest::gtest_main STATIC IMPORTED GLOBAL)
set_target_properties(GTest::gtest_main PROPERTIES
  IMPORTED_LOCATION ${_gtest}/lib/libgtest_main.a
  INTERFACE_LINK_LIBRARIES GTest::gtest)
