# SPDX-License-Identifier: MIT
# Run by CPack once the files are staged: strips the program as Debian's dh_strip does,
# removing the .comment and .note sections as well, which CPack's own stripping keeps.
# The build id (.note.gnu.build-id) stays.
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/tickora")
if(NOT programs)
    message(FATAL_ERROR "no staged program under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
    execute_process(COMMAND ${CPACK_TICKORA_STRIP} --remove-section=.comment --remove-section=.note ${program}
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
