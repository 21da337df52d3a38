# Test sources are built for compile speed, not run speed: no optimisation
# (the product's own code keeps its flags) and, with GCC, one precompiled
# header shared by all Qt Test programs and one by all GoogleTest programs.
# A shared header is used only where the defines it was built with are the
# same, so each host below carries nothing but what every user has;
# -Winvalid-pch (added by CMake) names any program that falls back.
set(TREVALON_TEST_COMPILE_OPTIONS -O0)
# Qt Test names each program's folders in QT_TESTCASE_BUILDDIR/SOURCEDIR,
# which differ per folder and so would keep the header from being shared.
# They serve only QFINDTESTDATA, which no test uses.
set(TREVALON_QT_TEST_COMPILE_OPTIONS -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)

set(_trevalon_pch_dir ${CMAKE_CURRENT_LIST_DIR}/pch)
function(_trevalon_test_pch_host kind header)
  set(host trevalon_test_pch_${kind})
  add_library(${host} OBJECT ${_trevalon_pch_dir}/host.cpp)
  target_link_libraries(${host} PRIVATE ${ARGN})
  target_compile_options(${host} PRIVATE ${TREVALON_TEST_COMPILE_OPTIONS})
  if(kind STREQUAL qt)
    target_compile_options(${host} PRIVATE ${TREVALON_QT_TEST_COMPILE_OPTIONS})
  endif()
  set_target_properties(${host} PROPERTIES AUTOMOC OFF)
  target_precompile_headers(${host} PRIVATE ${_trevalon_pch_dir}/${header})
endfunction()

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_DISABLE_PRECOMPILE_HEADERS)
  if(TARGET GTest::gtest)
    _trevalon_test_pch_host(gtest gtest.h GTest::gtest)
  endif()
  if(TARGET Qt6::Test)
    _trevalon_test_pch_host(qt qt_test.h Qt6::Widgets Qt6::Test)
  endif()
endif()

# trevalon_test_build_options(<target> [QT])
# The flags and shared header above for a test program built without
# trevalon_add_test; QT for one that links Qt.
function(trevalon_test_build_options target)
  cmake_parse_arguments(arg "QT" "" "" ${ARGN})
  target_compile_options(${target} PRIVATE ${TREVALON_TEST_COMPILE_OPTIONS})
  set(kind gtest)
  if(arg_QT)
    set(kind qt)
    target_compile_options(${target} PRIVATE ${TREVALON_QT_TEST_COMPILE_OPTIONS})
  endif()
  if(TARGET trevalon_test_pch_${kind})
    target_precompile_headers(${target} REUSE_FROM trevalon_test_pch_${kind})
  endif()
endfunction()

# trevalon_add_test(<target> SOURCES ... [LIBS ...] [DEFINES ...] [PREFIX <folder>]
#                   [QT] [TEST <name>] [GTEST_MAIN] [OFFSCREEN] [LABELS ...]
#                   [TIMEOUT <s>] [DISCOVERY_TIMEOUT <s>] [RESOURCE_LOCK <name>])
# One test program. A GoogleTest program (the default) gives one ctest per
# case, named <prefix>.<Suite>.<Case>; a Qt Test program (QT) is one ctest,
# named TEST or <prefix>.<target>, run offscreen.
function(trevalon_add_test target)
  cmake_parse_arguments(arg "QT;GTEST_MAIN;OFFSCREEN"
                        "PREFIX;TEST;TIMEOUT;DISCOVERY_TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS;LABELS;DEFINES"
                        ${ARGN})
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "trevalon_add_test(${target}): unknown ${arg_UNPARSED_ARGUMENTS}")
  endif()
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBS})
  if(arg_DEFINES)
    target_compile_definitions(${target} PRIVATE ${arg_DEFINES})
  endif()
  if(arg_QT OR arg_OFFSCREEN)
    trevalon_test_build_options(${target} QT)
  else()
    trevalon_test_build_options(${target})
  endif()
  set(props)
  if(arg_TIMEOUT)
    list(APPEND props TIMEOUT ${arg_TIMEOUT})
  endif()
  if(arg_LABELS)
    list(APPEND props LABELS "${arg_LABELS}")
  endif()
  if(arg_RESOURCE_LOCK)
    list(APPEND props RESOURCE_LOCK ${arg_RESOURCE_LOCK})
  endif()
  if(arg_QT OR arg_OFFSCREEN)
    list(APPEND props ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()

  if(arg_QT)
    target_link_libraries(${target} PRIVATE Qt6::Test)
    if(NOT arg_TEST)
      set(arg_TEST ${arg_PREFIX}.${target})
    endif()
    add_test(NAME ${arg_TEST} COMMAND ${target})
    if(props)
      set_tests_properties(${arg_TEST} PROPERTIES ${props})
    endif()
    return()
  endif()

  if(arg_GTEST_MAIN)
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest)
  endif()
  if(NOT arg_OFFSCREEN)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
  endif()
  if(NOT arg_DISCOVERY_TIMEOUT)
    set(arg_DISCOVERY_TIMEOUT 60)
  endif()
  if(props)
    set(props PROPERTIES ${props})
  endif()
  # A cross build lists its cases when ctest starts (under the emulator), so
  # building needs no Windows.
  set(mode)
  if(CMAKE_CROSSCOMPILING)
    set(mode DISCOVERY_MODE PRE_TEST)
  endif()
  gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}."
                       DISCOVERY_TIMEOUT ${arg_DISCOVERY_TIMEOUT} ${mode} ${props})
endfunction()

# trevalon_test_costs(<test> <seconds> [<test> <seconds>...])
# The longest tests, started first by `ctest -j` even in a fresh build tree
# (which has no timings of its own), so that none of them ends the run late.
# Call it after the tests are added; a GoogleTest case is named as ctest
# lists it, and a name that no longer exists is ignored.
function(trevalon_test_costs)
  set(later)
  while(ARGN)
    list(POP_FRONT ARGN name seconds)
    if(TEST ${name})
      set_tests_properties(${name} PROPERTIES COST ${seconds})
    else()
      # Cases found by gtest_discover_tests exist only when ctest reads them.
      string(APPEND later "set_tests_properties([==[${name}]==] PROPERTIES COST ${seconds})\n")
    endif()
  endwhile()
  if(later)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/trevalon_test_costs.cmake)
    get_property(included DIRECTORY PROPERTY TEST_INCLUDE_FILES)
    if(file IN_LIST included)
      file(APPEND ${file} "${later}")
    else()
      file(WRITE ${file} "${later}")
      set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
    endif()
  endif()
endfunction()
