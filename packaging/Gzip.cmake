# Compresses IN into OUT as Debian wants it: the most compression, and no file
# name or time in the header, so that the same file gives the same bytes.
#   cmake -DIN=file -DOUT=file.gz -P Gzip.cmake
execute_process(COMMAND gzip -9 --no-name --stdout ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE failed)
if(failed)
    file(REMOVE ${OUT})
    message(FATAL_ERROR "gzip ${IN} failed")
endif()
