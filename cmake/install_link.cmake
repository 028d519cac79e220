# tavrik_install_with_link(TARGET DESTINATION): installs the program once, into DESTINATION, and
# puts a relative symbolic link to it into the install's bin folder, so that it is on PATH
# without a second copy.
function(tavrik_install_with_link target destination)
  install(TARGETS ${target} RUNTIME DESTINATION ${destination})
  file(RELATIVE_PATH to_folder ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${destination})
  set(link ${CMAKE_CURRENT_BINARY_DIR}/links/${target})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/links)
  file(CREATE_LINK ${to_folder}/${target} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
