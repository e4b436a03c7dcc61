# Reading a 100 MB index file, from memory and through the file system.
add_executable(qm_index_file_bench index_file_bench.cpp)
target_link_libraries(qm_index_file_bench PRIVATE qm_memory_platform benchmark::benchmark_main)
qm_set_warnings(qm_index_file_bench)
