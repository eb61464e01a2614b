# Fails when a C++ source of the project differs from what clang-format makes of it.
if(NOT CLANG_FORMAT)
  message(STATUS "format_check: skipped, clang-format is not installed")
  return()
endif()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/toolkit/*.cpp ${SOURCE_DIR}/toolkit/*.h
  ${SOURCE_DIR}/model/*.cpp ${SOURCE_DIR}/model/*.h
  ${SOURCE_DIR}/graph/*.cpp ${SOURCE_DIR}/graph/*.h
  ${SOURCE_DIR}/editing/*.cpp ${SOURCE_DIR}/editing/*.h
  ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/support/*.cpp ${SOURCE_DIR}/tests/support/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/web/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "These files need clang-format -i:\n${errors}")
endif()
message(STATUS "${CMAKE_ARGV0}: formatting checked")
