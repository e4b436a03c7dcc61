# Cross-compiling for 32-bit Windows with mingw-w64 on Linux, as most
# browsers of the band's generation load 32-bit bands. Its tests would need
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QM_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
