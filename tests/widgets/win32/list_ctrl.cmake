# The list window under Wine, in its own program.
if(NOT TARGET qm_win32_widgets)
  return()
endif()
if(NOT TARGET qm_win32_test_support)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/support/win32 ${CMAKE_BINARY_DIR}/tests/support/win32)
endif()

qm_add_test(qm_list_ctrl_tests
  ${CMAKE_CURRENT_LIST_DIR}/widget_window_test.h
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_test.cpp
)
target_link_libraries(qm_list_ctrl_tests PRIVATE
  qm_win32_widgets qm_win32_test_support gtest_main comctl32 gdi32 user32 ole32
)
# The glyph strip comes from the product's resources.
if(TARGET qm_resources)
  target_sources(qm_list_ctrl_tests PRIVATE $<TARGET_OBJECTS:qm_resources>)
  add_dependencies(qm_list_ctrl_tests qm_resources)
endif()
