# Fails when the simulator's own code refers to any heap allocation
# function: every symbol the library takes from outside is listed by nm.
# Usage: cmake -DLIB=path/to/libhazard_core.a -P no_heap.cmake
execute_process(COMMAND nm -u -C "${LIB}" OUTPUT_VARIABLE undefined RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
# Sanitizer runtimes' own hooks (such as ASan's stack frames) do not count.
string(REGEX REPLACE "[^\n]*__(asan|ubsan|sanitizer)_[^\n]*" "" undefined "${undefined}")
string(REGEX MATCHALL "[^\n]*(malloc|calloc|realloc|free|strdup|operator new|operator delete|__cxa_allocate)[^\n]*"
       found "${undefined}")
if(found)
  message(FATAL_ERROR "the simulator allocates: ${found}")
endif()
message(STATUS "no heap allocation in ${LIB}")
