# How Vorsell is installed, and the packages CPack makes of it: a Debian
# package on Linux, an NSIS installer for 64-bit Windows.
include(GNUInstallDirs)

set(VORSELL_APP_ID example.drummet.vorsell)
set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME vorsell)
set(CPACK_PACKAGE_VENDOR ${VORSELL_COMPANY_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small password manager behind one master password")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${VORSELL_COMMENTS}/")
set(CPACK_RESOURCE_FILE_LICENSE ${linux_dir}/copyright)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    # The installer holds what the portable zip holds: scripts/windows lays
    # that folder out and names it here. The program's own install rules
    # are not used.
    set(VORSELL_WINDOWS_FOLDER "" CACHE PATH "The laid-out program folder the installer packs")
    set(CPACK_INSTALL_CMAKE_PROJECTS "")
    set(CPACK_INSTALLED_DIRECTORIES "${VORSELL_WINDOWS_FOLDER};.")
    set(CPACK_GENERATOR NSIS64)
    # A 64-bit installer: Windows on 64 bits needs no 32-bit layer for it.
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_PACKAGE_FILE_NAME "${VORSELL_PRODUCT_NAME}-${PROJECT_VERSION}-win64-setup")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY ${VORSELL_PRODUCT_NAME})
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${VORSELL_PRODUCT_NAME})
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_PACKAGE_NAME ${VORSELL_PRODUCT_NAME})
    set(CPACK_NSIS_DISPLAY_NAME ${VORSELL_PRODUCT_NAME})
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_PACKAGE_EXECUTABLES ${VORSELL_PRODUCT_NAME} ${VORSELL_PRODUCT_NAME})
    set(CPACK_NSIS_INSTALLED_ICON_NAME ${VORSELL_PRODUCT_NAME}.exe)
    set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/app.ico)
    set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/app.ico)
    set(CPACK_NSIS_URL_INFO_ABOUT "https://${VORSELL_COMMENTS}/")
    set(CPACK_NSIS_CONTACT ${VORSELL_COMPANY_NAME})
    set(CPACK_NSIS_MUI_FINISHPAGE_RUN ${VORSELL_PRODUCT_NAME}.exe)
    # An update replaces the installed copy; the vault lives elsewhere.
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
else()
    install(TARGETS vorsell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # HelpFile finds it in share/vorsell beside the program's bin folder.
    install(FILES ${PROJECT_SOURCE_DIR}/resources/Help.rtf
            DESTINATION ${CMAKE_INSTALL_DATADIR}/vorsell)
    install(FILES ${linux_dir}/${VORSELL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${linux_dir}/${VORSELL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${VORSELL_APP_ID}.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/art/app.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${VORSELL_APP_ID}.svg)

    # Debian wants the changelog and the manual page compressed, without a
    # time stamp in them.
    find_program(GZIP_EXECUTABLE gzip REQUIRED)
    set(packaged_docs)
    foreach(doc changelog vorsell.1)
        add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
            COMMAND ${GZIP_EXECUTABLE} -9nc ${linux_dir}/${doc} > ${PROJECT_BINARY_DIR}/${doc}.gz
            DEPENDS ${linux_dir}/${doc}
            VERBATIM)
        list(APPEND packaged_docs ${PROJECT_BINARY_DIR}/${doc}.gz)
    endforeach()
    add_custom_target(vorsell_docs ALL DEPENDS ${packaged_docs})
    install(FILES ${linux_dir}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorsell)
    install(FILES ${PROJECT_BINARY_DIR}/vorsell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORSELL_COMPANY_NAME} <packages@drummet.example>")
    # CPack puts the summary above it.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vorsell keeps a list of credentials, each a username, a password and the
website or location where they are used, in one vault file behind a master
password. From one window you add, edit, delete and find entries, copy a
username or password to the clipboard for a short while, open an entry's
website and sort the list by any column.")
endif()

include(CPack)
