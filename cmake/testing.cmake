# Test programs. Natively each GoogleTest case is one ctest entry; under Wine
# each program is one entry, since starting a Wine process costs a second.
function(qm_add_test name)
  add_executable(${name} ${ARGN})
  qm_set_warnings(${name})
  if(WIN32)
    target_link_libraries(${name} PRIVATE gtest gmock)
    # Run from the build folder so that programs find the DLLs beside them.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 600)
  else()
    find_package(GTest REQUIRED)
    target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
  endif()
endfunction()
