# Writes a program's bash completion from its own option table (the hidden --bash-completion):
#   cmake -DPROGRAM=path/to/tunekit-cli -DSCRIPT=completion/tunekit-cli -P bash_completion.cmake
# The script appears only whole: a program that fails leaves no file that looks up to date.
get_filename_component(name "${PROGRAM}" NAME)
execute_process(COMMAND "${PROGRAM}" --bash-completion OUTPUT_FILE "${SCRIPT}.new" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${SCRIPT}.new")
  message(FATAL_ERROR "${PROGRAM} --bash-completion failed: ${result}")
endif()
file(READ "${SCRIPT}.new" script)
if(NOT script MATCHES "\ncomplete -F [A-Za-z_][A-Za-z0-9_]* ${name}\n")
  file(REMOVE "${SCRIPT}.new")
  message(FATAL_ERROR "${PROGRAM} --bash-completion: no completion for ${name}")
endif()
file(RENAME "${SCRIPT}.new" "${SCRIPT}")
