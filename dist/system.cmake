# What a system install adds for the command: the manual pages (the window's
# too), bash completion, and the systemd units of a watch run as a service.
# The manual pages are written in roff by hand: no tool is needed to build
# them, and the JSON events, the files and the examples need prose that a page
# made from --help cannot hold. They are installed compressed, as Debian wants.
set(QUILM_MAN_PAGES)
foreach(page quilm-sort.1 quilm.1)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/dist/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/dist/man
        COMMAND sh -c "gzip -9nc \"$0\" >\"$1\"" ${CMAKE_CURRENT_LIST_DIR}/man/${page} ${compressed}
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/man/${page}
        VERBATIM)
    list(APPEND QUILM_MAN_PAGES ${compressed})
endforeach()
add_custom_target(quilm_man_pages ALL DEPENDS ${QUILM_MAN_PAGES})
install(FILES ${QUILM_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/quilm-sort
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The service: a template unit for the system (settings in /etc/quilm/NAME.conf,
# whose USER and folders a generator turns into a drop-in) and one for a user
# (settings in ~/.config/quilm/NAME.conf). Nothing is enabled or started. The
# units name the command where it is installed, as the desktop entry does.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/service/example.conf
    DESTINATION ${CMAKE_INSTALL_DATADIR}/quilm)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/service/quilm-sort-settings
    DESTINATION lib/systemd/system-generators)
install(CODE "
    set(QUILM_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    if(IS_ABSOLUTE \"${CMAKE_INSTALL_BINDIR}\")
        set(QUILM_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    endif()
    foreach(unit \"quilm-sort@|system\" \"quilm-sort-user@|user\")
        string(REPLACE \"|\" \";\" unit \"\${unit}\")
        list(GET unit 0 source)
        list(GET unit 1 kind)
        configure_file(\"${CMAKE_CURRENT_LIST_DIR}/service/\${source}.service.in\"
            \"${CMAKE_CURRENT_BINARY_DIR}/dist/\${kind}/quilm-sort@.service\" @ONLY)
        file(INSTALL \"${CMAKE_CURRENT_BINARY_DIR}/dist/\${kind}/quilm-sort@.service\"
            DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/\${kind}\")
    endforeach()
")
