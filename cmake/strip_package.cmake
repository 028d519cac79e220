# Run by CPack on the installed files before it makes the package: strips the programs as
# Debian's own packages are stripped, without the compiler's .comment and the .note section,
# which CMake's own strip keeps.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/libexec/*")
foreach(file ${files})
  if(NOT IS_SYMLINK ${file})
    execute_process(COMMAND strip --strip-unneeded --remove-section=.comment --remove-section=.note
                            ${file} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
