# anivor_library(NAME LEVEL n [DEPS libs...])
# One library per src/ folder: every .cpp of the folder. LEVEL places it in the layering
# (src/README.md): a library may depend only on libraries of lower levels, and the
# include check (scripts/check-includes.py) holds what its files include to what DEPS
# declares. Every library is written to the table the check reads.
function(anivor_library name)
  cmake_parse_arguments(ARG "" "LEVEL" "DEPS" ${ARGN})
  if(NOT DEFINED ARG_LEVEL)
    message(FATAL_ERROR "anivor_library(${name}): LEVEL missing")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  anivor_register(${name} ${ARG_LEVEL} "${ARG_DEPS}")
endfunction()

# anivor_register(NAME LEVEL DEPS): a row of the library table for the include check:
# the name, the folder (relative to src/), the level and the declared dependencies.
function(anivor_register name level deps)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE ";" "," deps_text "${deps}")
  set_property(GLOBAL APPEND PROPERTY ANIVOR_LIBRARY_TABLE "${name} ${folder} ${level} ${deps_text}")
endfunction()

# Writes the library table (one line a library) for scripts/check-includes.py.
function(anivor_write_library_table file)
  get_property(rows GLOBAL PROPERTY ANIVOR_LIBRARY_TABLE)
  list(JOIN rows "\n" text)
  file(WRITE ${file} "${text}\n")
endfunction()

# anivor_test(NAME SOURCES... DEPS libs...)
# One test program per group; every TEST becomes its own CTest case.
function(anivor_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} testsupport GTest::gtest GTest::gmock)
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    # One variable only: the properties are a list, so a second would be read as a
    # property name. The test programs' own folder (build/tests) is their settings folder.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# anivor_program_output(TARGET program FILE file ARGS "args"): `file` in the build folder's
# share/ tree (what the install rules take), made by running the built program with
# `args` whenever it is rebuilt. A target in the same folder must depend on it.
function(anivor_program_output)
  cmake_parse_arguments(ARG "" "TARGET;FILE;ARGS" "" ${ARGN})
  set(output ${CMAKE_BINARY_DIR}/share/${ARG_FILE})
  get_filename_component(dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${ARG_TARGET}> "-DARGS=${ARG_ARGS}" -DOUTPUT=${output}
            -P ${PROJECT_SOURCE_DIR}/cmake/ProgramOutput.cmake
    DEPENDS ${ARG_TARGET} ${PROJECT_SOURCE_DIR}/cmake/ProgramOutput.cmake
    COMMENT "Writing ${ARG_FILE} from ${ARG_TARGET} ${ARG_ARGS}" VERBATIM)
endfunction()
