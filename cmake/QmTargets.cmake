# Helpers that give every target of the project the same language level, warnings and sanitizers.

set(QM_WARNING_FLAGS
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wimplicit-fallthrough -Wformat=2 -Wcast-qual -Wnull-dereference)
if(QM_WARNINGS_AS_ERRORS)
  list(APPEND QM_WARNING_FLAGS -Werror)
endif()

if(QM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QM_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# qm_target_defaults(<target>): warnings and include root for one of our own targets.
function(qm_target_defaults target)
  target_compile_options(${target} PRIVATE ${QM_WARNING_FLAGS})
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# qm_library(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# A static library for one folder; headers are included as "folder/sub/file.h" from the source root.
function(qm_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  qm_target_defaults(${name})
endfunction()

# qm_executable(<name> SOURCES ... [DEPS ...])
function(qm_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  qm_target_defaults(${name})
endfunction()

# qm_test(<name> SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT seconds] [SERIAL])
# One GoogleTest program; every test case becomes a CTest test (of 120 s at most by default).
# SERIAL: its cases run while no other test runs (they measure timing that a busy machine would
# spoil).
function(qm_test name)
  cmake_parse_arguments(ARG "SERIAL" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  qm_target_defaults(${name})
  # The test programs' own code is built for debugging, not speed: -Og compiles it in about half
  # the time -O2 takes. The code under test keeps the build type's optimisation in its libraries.
  target_compile_options(${name} PRIVATE $<$<CONFIG:RelWithDebInfo,Release>:-Og>)
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${ARG_SERIAL})
endfunction()

# qm_benchmark(<name> SOURCES ... [DEPS ...])
function(qm_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  qm_target_defaults(${name})
endfunction()
