# Run by CPack after it has installed the package's files into its staging
# folder: strips the programs as Debian's dh_strip does, symbols and the
# compiler's notes (.comment, .note) both.
foreach(program IN LISTS CPACK_LEXIGLOW_PROGRAMS)
    set(file ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_LEXIGLOW_PROGRAM_DIR}/${program})
    execute_process(COMMAND ${CPACK_LEXIGLOW_STRIP} --remove-section=.comment --remove-section=.note ${file}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot strip ${file}")
    endif()
endforeach()
