# Shared build helpers: warnings, libraries, program-folder executables and tests.

function(kodrix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# kodrix_add_library(name SOURCES ... LIBS ...): one static library per subsystem.
function(kodrix_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  kodrix_warnings(${name})
endfunction()

# Puts an executable or module into the assembled program folder.
function(kodrix_into_program_folder target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${KODRIX_PROGRAM_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${KODRIX_PROGRAM_DIR})
endfunction()

# kodrix_add_test(name SOURCES ... LIBS ... [LABELS ...] [GUI]): one GoogleTest binary.
# GUI tests run on the offscreen platform; every test gets the program folder's path.
function(kodrix_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kodrix_test_support GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    KODRIX_PROGRAM_DIR="${KODRIX_PROGRAM_DIR}"
    KODRIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  kodrix_warnings(${name})
  set(labels ${ARG_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${labels}"
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KODRIX_MESSAGES=stderr")
endfunction()
