# 64-bit build of the same source: hosts the Wine suites on machines that run no 32-bit
# programs. It ships nowhere.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SETUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
