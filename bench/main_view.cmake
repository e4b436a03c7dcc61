# The main view's fills and Find All at the size of a large browser cache.
qm_add_benchmark(qm_main_view_bench main_view_bench.cpp)
