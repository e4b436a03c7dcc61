# The index file reader, the index view and the location and search of
# index files.
target_sources(qm_core PRIVATE
  index_file_reader.cpp
  index_file_view.cpp
  index_file_location.cpp
)
