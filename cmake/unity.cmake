# Unity batches: with DRELAN_UNITY on, a target's files compile in batches (one translation unit
# each) that scripts/unity_groups.py computes at configure time so that no two files of a batch
# declare the same name at namespace scope; a file it cannot place compiles alone. The batches of
# each target are written to <build>/unity/<target>.groups ("GROUP FILE" lines, "-" for a file
# alone), which scripts/unity_groups.py --check compares with what it computes now and with the
# unity sources the build compiled. Every source of a batched target is a configure dependency,
# so an edit that adds a clashing name regroups before the next compile.
set(DRELAN_UNITY_SIZE 8 CACHE STRING "Most files in one unity batch")
# A batch holds the files of one folder, so that the link check of the folder layers
# (scripts/check_links.sh) can tell which folder takes a symbol from which. A build that is not
# link-checked may batch across folders: fewer, larger batches, for less compile time.
option(DRELAN_UNITY_ACROSS_FOLDERS "Unity batches may hold files of several folders (no link check)" OFF)
if(DRELAN_UNITY)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
endif()

# drelan_unity(TARGET): batches the target's C++ sources when DRELAN_UNITY is on.
function(drelan_unity target)
  if(NOT DRELAN_UNITY)
    file(REMOVE ${CMAKE_BINARY_DIR}/unity/${target}.groups)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  set(across)
  if(DRELAN_UNITY_ACROSS_FOLDERS)
    set(across --across-folders)
  endif()
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${DRELAN_ROOT}/scripts/unity_groups.py --size ${DRELAN_UNITY_SIZE}
            ${across} --prefix ${target}_ --root ${DRELAN_ROOT} ${sources}
    OUTPUT_VARIABLE groups RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "scripts/unity_groups.py could not batch ${target}")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/unity/${target}.groups "${groups}")
  string(REGEX REPLACE "\n$" "" groups "${groups}")
  string(REPLACE "\n" ";" groups "${groups}")
  foreach(line ${groups})
    string(REGEX MATCH "^([^ ]+) (.+)$" matched "${line}")
    if(CMAKE_MATCH_1 STREQUAL "-")
      set_source_files_properties(${CMAKE_MATCH_2} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    else()
      set_source_files_properties(${CMAKE_MATCH_2} PROPERTIES UNITY_GROUP ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources}
               ${DRELAN_ROOT}/scripts/unity_groups.py)
endfunction()

# drelan_unity_objects(OUT TARGET BUILD SOURCES...): the objects a unity build BUILD (configured
# with DRELAN_UNITY, already built) made of these sources of TARGET: a batch's one object for the
# files of a batch, a file's own object for a file alone or a build without batches.
function(drelan_unity_objects out target build)
  set(objects)
  set(groups_file ${build}/unity/${target}.groups)
  set(group_of)
  if(EXISTS ${groups_file})
    file(STRINGS ${groups_file} lines)
    foreach(line ${lines})
      string(REGEX MATCH "^([^ ]+) (.+)$" matched "${line}")
      set(group_${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
    endforeach()
  endif()
  foreach(src ${ARGN})
    if(DEFINED group_${src} AND NOT group_${src} STREQUAL "-")
      list(APPEND objects ${build}/CMakeFiles/${target}.dir/Unity/unity_${group_${src}}_cxx.cxx.o)
    else()
      file(RELATIVE_PATH relative ${DRELAN_ROOT} ${src})
      list(APPEND objects ${build}/CMakeFiles/${target}.dir/${relative}.o)
    endif()
  endforeach()
  list(REMOVE_DUPLICATES objects)
  set(${out} ${objects} PARENT_SCOPE)
endfunction()
