# Writes a linker dynamic list of the symbols a module leaves undefined, for the program that loads it to
# export: cmake -DMODULE=lib.so -DNM=nm -DOUTPUT=imports.list -P ModuleImports.cmake
execute_process(COMMAND ${NM} -D --undefined-only ${MODULE} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} could not list ${MODULE}")
endif()
# Each line ends in a name; "name@VERSION" for the libraries' versioned symbols, where the list wants the name.
string(REGEX MATCHALL "[^ \n@]+(@[^ \n]*)?\n" lines "${listing}")
set(body "{\n")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "@.*|\n" "" name "${line}")
    string(APPEND body "    \"${name}\";\n")
endforeach()
string(APPEND body "};\n")
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "${body}" @ONLY)
