# The list window under Wine: created in a test parent, driven with real
# mouse and key messages, its notifications checked at the parent, and a
# screenshot of a long sorted list written to the build folder.
if(NOT TARGET qm_win32_widgets)
  return()
endif()
if(NOT TARGET qm_win32_test_support)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/support/win32 ${CMAKE_BINARY_DIR}/tests/support/win32)
endif()

qm_add_test(qm_list_ctrl_tests
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_fixture.h
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_input_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_look_test.cpp
)
target_link_libraries(qm_list_ctrl_tests PRIVATE
  qm_win32_widgets qm_win32_test_support gtest_main comctl32 gdi32 user32 ole32
)
# The glyph strip and the row images come from the product's resources.
if(TARGET qm_resources)
  target_sources(qm_list_ctrl_tests PRIVATE $<TARGET_OBJECTS:qm_resources>)
  add_dependencies(qm_list_ctrl_tests qm_resources)
endif()
