# Cross toolchain: the 64-bit twin of the programs and their tests, which runs the tests on
# machines that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
