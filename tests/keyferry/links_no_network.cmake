# Fails when PROGRAM needs a network, TLS, compression or text library at run time: keyferry
# only finds the shared folder and writes files.
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE needed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
foreach(library IN ITEMS libcurl libssl libcrypto libnghttp2 libz. libicu libglib)
  string(FIND "${needed}" "${library}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} links ${library}:\n${needed}")
  endif()
endforeach()
