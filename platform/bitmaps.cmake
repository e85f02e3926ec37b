# The stored-bitmap reader. Included by platform/CMakeLists.txt; pure C++,
# so every program, test and fuzzer can link it. Whoever calls loadBitmap
# must also link one program's picture table (bitmaps_<program>, made in
# tools/), which defines programBitmaps.
add_library(platform_bitmaps STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bitmaps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_bitmaps.cpp)
