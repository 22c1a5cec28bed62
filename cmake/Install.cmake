# `cmake --install`: VTX finds its components, language packs and CA bundle in its own folder, so all of
# them go into one program folder; the desktop entry and icon go where desktops look for them.
include(GNUInstallDirs)
set(VTX_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/vtx)
install(TARGETS VTX cleanup platform orvosdk httpclient httpdl
        RUNTIME DESTINATION ${VTX_PROGRAM_DIR}
        LIBRARY DESTINATION ${VTX_PROGRAM_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/zh_CN.ini ${CMAKE_BINARY_DIR}/bin/en_US.ini
              ${CMAKE_BINARY_DIR}/bin/curl-ca-bundle.crt
        DESTINATION ${VTX_PROGRAM_DIR})
# The same script that registers a build for one user writes the system entry; it leaves the user's
# own link-handler choice alone here.
install(CODE "
    set(data \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
    set(ENV{XDG_DATA_HOME} \"\${data}\")
    set(ENV{VTX_REGISTER_SYSTEM} 1)
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/register-scheme
                            \"\${CMAKE_INSTALL_PREFIX}/${VTX_PROGRAM_DIR}/VTX\"
                            ${CMAKE_SOURCE_DIR}/res/images/logo.png
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR \"register-scheme failed\")
    endif()
")
