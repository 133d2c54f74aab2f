# Runs one checker on a data file: cmake -DCHECKER=program -DPACKAGE=debian-package
# -DARGS=arg|arg|... [-DFAIL_REGEX=regex] -P RunChecker.cmake
# Fails when the checker fails, when its output matches FAIL_REGEX, and when the checker is
# not installed at all: the tests must not pass quietly on a machine that cannot check.

cmake_minimum_required(VERSION 3.25)
if(NOT CHECKER)
  message(FATAL_ERROR "the checker is not installed: Debian package ${PACKAGE} "
    "(bash scripts/install-deps.sh installs it), then configure the build again")
endif()
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${CHECKER} ${args}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
list(JOIN args " " shown)
message("${CHECKER} ${shown}\n${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CHECKER} rejected the file (status ${status})")
endif()
if(FAIL_REGEX AND "${out}${err}" MATCHES "${FAIL_REGEX}")
  message(FATAL_ERROR "${CHECKER} reported a problem (matched \"${FAIL_REGEX}\")")
endif()
