# Writes a program's manual page from its own option table and gzips it as Debian wants it:
#   cmake -DPROGRAM=path/to/tunekit-cli -DGZIP=gzip -DPAGE=man/tunekit-cli.1.gz -P man_page.cmake
string(REGEX REPLACE "\\.gz$" "" roff "${PAGE}")
execute_process(COMMAND "${PROGRAM}" --man OUTPUT_FILE "${roff}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${roff}")
  message(FATAL_ERROR "${PROGRAM} --man failed: ${result}")
endif()
# -n: no name or time in the header, so that the same page gives the same bytes.
execute_process(COMMAND "${GZIP}" -9nf "${roff}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${roff} failed: ${result}")
endif()
