# The flat tabs, the command bar, the hyperlink and the progress window,
# each in a test parent under Wine. The program carries the DLL's resources
# (dialog 301, menu 201, the image strips) so that the windows load them
# from the test program itself.
qm_add_test(qm_widget_windows_tests
  ${CMAKE_CURRENT_LIST_DIR}/command_bar_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flat_tab_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hyperlink_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_thread_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress_window_test.cpp
  $<TARGET_OBJECTS:qm_resources>
)
target_include_directories(qm_widget_windows_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(qm_widget_windows_tests PRIVATE
  qm_win32_widgets qm_win32_test_support qm_core gtest_main comctl32 gdi32 user32
)
add_dependencies(qm_widget_windows_tests qm_resources)

# A DLL of module threads alone, beside the test programs, for the test
# that unloads it under one of them.
add_library(qm_module_thread_probe SHARED ${CMAKE_CURRENT_LIST_DIR}/module_thread_probe.cpp)
set_target_properties(qm_module_thread_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(qm_module_thread_probe PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(qm_module_thread_probe PRIVATE qm_win32_widgets)
qm_set_warnings(qm_module_thread_probe)
add_dependencies(qm_widget_windows_tests qm_module_thread_probe)
