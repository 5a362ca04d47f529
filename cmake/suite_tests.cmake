# CTest entries of a GoogleTest program, one per test suite: every test of a plain suite runs in
# one process, named "folder.Suite"; a test of a value- or type-parameterized suite (its name has
# a "/": the shards of the random runs, the rows of a table) keeps an entry of its own, named
# "folder.Prefix/Suite.Test/N", so that CTest still spreads the shards over the cores. A process
# of the sanitizer build costs about 60 ms of CPU before its first test (the instrumented module's
# relocations and the leak check at its end), more than most of its tests take: one per suite
# instead of one per test saves three quarters of those starts.
#
# Included by the build: drelan_suite_tests(TARGET PREFIX) lists the program's tests after each
# link. Run as a script (cmake -P) by that step: writes the CTest file of the program.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.20)
  execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
                  OUTPUT_VARIABLE listed RESULT_VARIABLE result TIMEOUT 60)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${result}):\n${listed}")
  endif()
  string(REPLACE ";" "\\;" listed "${listed}")
  string(REPLACE "\n" ";" lines "${listed}")
  set(content "")
  set(suite "")
  set(grouped "")
  foreach(line IN LISTS lines)
    # A suite's line: "Suite." (and a comment after it); a test's: two blanks, the name, a comment.
    string(REGEX REPLACE " +#.*$" "" line "${line}")
    if(line MATCHES "^([^ ]+)\\.$")
      set(suite "${CMAKE_MATCH_1}")
      continue()
    elseif(NOT line MATCHES "^  ([^ ]+)$")
      continue()
    endif()
    set(test "${CMAKE_MATCH_1}")
    if("${suite}.${test}" MATCHES "/")
      set(name "${PREFIX}${suite}.${test}")
      set(filter "${suite}.${test}")
    elseif(suite IN_LIST grouped)
      continue()
    else()
      list(APPEND grouped "${suite}")
      set(name "${PREFIX}${suite}")
      set(filter "${suite}.*")
    endif()
    string(APPEND content "add_test([==[${name}]==] \"${TEST_EXECUTABLE}\" [==[--gtest_filter=${filter}]==])\n"
                          "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY \"${WORKING_DIRECTORY}\""
                          " TIMEOUT 600)\n")
  endforeach()
  file(WRITE "${CTEST_FILE}" "${content}")
  return()
endif()

set(DRELAN_SUITE_TESTS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(drelan_suite_tests target prefix)
  set(ctest_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
  add_custom_command(TARGET ${target} POST_BUILD BYPRODUCTS ${ctest_file}
    COMMAND ${CMAKE_COMMAND} -D TEST_EXECUTABLE=$<TARGET_FILE:${target}> -D PREFIX=${prefix}
            -D WORKING_DIRECTORY=${CMAKE_CURRENT_BINARY_DIR} -D CTEST_FILE=${ctest_file}
            -P ${DRELAN_SUITE_TESTS_SCRIPT}
    VERBATIM)
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites_include.cmake)
  file(WRITE ${include_file}
       "if(EXISTS \"${ctest_file}\")\n  include(\"${ctest_file}\")\nelse()\n"
       "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
