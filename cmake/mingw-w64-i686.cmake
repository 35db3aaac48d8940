# The build that goes on a disc: 32-bit, for every Windows from XP SP3 on.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
