# The list model at the size of a large browser cache.
add_executable(qm_list_model_bench ${CMAKE_CURRENT_SOURCE_DIR}/list_model_bench.cpp)
target_link_libraries(qm_list_model_bench PRIVATE qm_core qm_memory_platform benchmark::benchmark_main)
qm_set_warnings(qm_list_model_bench)
