# Certificates for the HTTPS servers that network tests and benchmarks start in-process: a test CA,
# a server certificate for 127.0.0.1/localhost signed by it, and an unrelated CA that must be
# refused. Generated once per build folder with the openssl command-line tool.
include_guard(GLOBAL)

find_program(VTX_OPENSSL_EXECUTABLE openssl REQUIRED)
set(VTX_TEST_CERT_DIR ${CMAKE_BINARY_DIR}/test-certs)
file(MAKE_DIRECTORY ${VTX_TEST_CERT_DIR})
file(WRITE ${VTX_TEST_CERT_DIR}/server.ext
    "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n")

set(_vtx_ec -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
add_custom_command(
    OUTPUT ${VTX_TEST_CERT_DIR}/ca.crt ${VTX_TEST_CERT_DIR}/server.crt ${VTX_TEST_CERT_DIR}/server.key
           ${VTX_TEST_CERT_DIR}/wrong-ca.crt
    COMMAND ${VTX_OPENSSL_EXECUTABLE} req -x509 ${_vtx_ec} -days 3650 -subj "/CN=VTX Test CA"
            -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
            -keyout ca.key -out ca.crt
    COMMAND ${VTX_OPENSSL_EXECUTABLE} req ${_vtx_ec} -subj "/CN=127.0.0.1" -keyout server.key -out server.csr
    COMMAND ${VTX_OPENSSL_EXECUTABLE} x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial
            -days 3650 -extfile server.ext -out server.crt
    COMMAND ${VTX_OPENSSL_EXECUTABLE} req -x509 ${_vtx_ec} -days 3650 -subj "/CN=VTX Unrelated CA"
            -addext basicConstraints=critical,CA:TRUE -keyout wrong-ca.key -out wrong-ca.crt
    WORKING_DIRECTORY ${VTX_TEST_CERT_DIR}
    COMMENT "Generating test certificates"
    VERBATIM)
add_custom_target(vtx_test_certs DEPENDS ${VTX_TEST_CERT_DIR}/ca.crt)

find_package(PkgConfig REQUIRED)
pkg_check_modules(VTXNET_HTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)

# httplib server helper plus the certificate folder, for test and benchmark programs.
if(NOT TARGET vtx_https_test_server)
    add_library(vtx_https_test_server INTERFACE)
    add_dependencies(vtx_https_test_server vtx_test_certs)
    target_include_directories(vtx_https_test_server INTERFACE ${CMAKE_CURRENT_LIST_DIR})
    target_compile_definitions(vtx_https_test_server INTERFACE VTX_TEST_CERT_DIR="${VTX_TEST_CERT_DIR}")
    target_link_libraries(vtx_https_test_server INTERFACE PkgConfig::VTXNET_HTTPLIB OpenSSL::SSL OpenSSL::Crypto
                          Threads::Threads)
endif()
