# Fails unless the JNI library exports exactly the natives of com.ovaro.SEPA and
# com.ovaro.SEPAStatementParser (its copy of the core stays private).
set(expected
  Java_com_ovaro_SEPA_init Java_com_ovaro_SEPA_IBAN_1convert Java_com_ovaro_SEPA_IBAN_1getBIC
  Java_com_ovaro_SEPA_IBAN_1check Java_com_ovaro_SEPA_IBAN_1inspect
  Java_com_ovaro_SEPA_IBAN_1normalize Java_com_ovaro_SEPA_IBAN_1format Java_com_ovaro_SEPA_BIC_1getBankName Java_com_ovaro_SEPA_BIC_1getBankFlags
  Java_com_ovaro_SEPA__1new Java_com_ovaro_SEPA__1free Java_com_ovaro_SEPA__1setIBAN
  Java_com_ovaro_SEPA__1setBIC Java_com_ovaro_SEPA__1setName Java_com_ovaro_SEPA__1setCreditorIdentifier
  Java_com_ovaro_SEPA__1setDate Java_com_ovaro_SEPA__1setDDType Java_com_ovaro_SEPA__1setBatchBooking
  Java_com_ovaro_SEPA__1setMessageId Java_com_ovaro_SEPA__1setAddress Java_com_ovaro_SEPA__1setInstant
  Java_com_ovaro_SEPA__1setTransliteration
  Java_com_ovaro_SEPA__1add Java_com_ovaro_SEPA__1toXML
  Java_com_ovaro_SEPAStatementParser__1load)
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(found)
foreach(line ${lines})
  if(line MATCHES "^[0-9a-f]+ ([A-Za-z]) (.+)$")
    set(name ${CMAKE_MATCH_2})
    if(name MATCHES "^_init$|^_fini$")
      continue()  # ELF entry points
    endif()
    list(FIND expected ${name} index)
    if(index EQUAL -1)
      message(FATAL_ERROR "unexpected exported symbol: ${name}")
    endif()
    list(APPEND found ${name})
  endif()
endforeach()
foreach(name ${expected})
  list(FIND found ${name} index)
  if(index EQUAL -1)
    message(FATAL_ERROR "native not exported: ${name}")
  endif()
endforeach()
list(LENGTH found count)
message(STATUS "${count} natives exported")
