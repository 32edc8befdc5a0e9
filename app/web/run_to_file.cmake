# Runs a program of the web build under Node and keeps what it prints:
# cmake -DEMULATOR=node -DTOOL=tool.js -DARGUMENT=js -DOUTPUT=file -P run_to_file.cmake
execute_process(COMMAND ${EMULATOR} ${TOOL} ${ARGUMENT} OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "${TOOL} ${ARGUMENT} failed: ${result}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
