# Generates the compiled-in string table from the resource script that the
# Windows build compiles, so that the two forms of the table cannot differ.
#   cmake -DINPUT=StringTable.rc -DOUTPUT=StringTableData.inc -P GenerateStringTable.cmake
file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(body "// Generated from ${INPUT}; edit that file instead.\n")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*([0-9]+)[ \t]+\"(.*)\"[ \t]*$")
        set(id "${CMAKE_MATCH_1}")
        set(text "${CMAKE_MATCH_2}")
        # Resource scripts double a quotation mark; C++ escapes it.
        string(REPLACE "\"\"" "\\\"" text "${text}")
        string(APPEND body "{${id}, L\"${text}\"},\n")
        math(EXPR count "${count} + 1")
    elseif(line MATCHES "^[ \t]*[0-9]")
        message(FATAL_ERROR "${INPUT}: cannot read the string table line: ${line}")
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "${INPUT}: no strings found")
endif()
file(WRITE "${OUTPUT}.tmp" "${body}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
