# Installation and the Debian package: `cmake --build <dir> --target package` writes
# pzpokl_<version>_<arch>.deb into the build directory (see scripts/package.sh).
include(GNUInstallDirs)

set(PZ_PACKAGING "${PROJECT_SOURCE_DIR}/packaging")
set(PZ_SHARE "${CMAKE_INSTALL_DATADIR}/pzpokl")

install(TARGETS pzpokl pzlockd RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS "${PZ_PACKAGING}/pzpokl-demo" DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS "${PZ_PACKAGING}/pzlockd-start" DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/pzpokl)

# The demo installation whole (its program root included); the program root of a real
# installation is the same reference lists, reached as share/pzpokl/prog.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/demo/" DESTINATION ${PZ_SHARE}/demo)
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/packaging")
file(CREATE_LINK demo/prog "${CMAKE_BINARY_DIR}/packaging/prog" SYMBOLIC)
install(FILES "${CMAKE_BINARY_DIR}/packaging/prog" DESTINATION ${PZ_SHARE})

install(FILES "${PZ_PACKAGING}/pzpokl.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${PZ_PACKAGING}/pzpokl.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES "${PZ_PACKAGING}/pzlockd.service" DESTINATION /lib/systemd/system)
install(FILES "${PZ_PACKAGING}/pzlockd.default" DESTINATION /etc/default RENAME pzlockd)

# Man pages and the changelog go in compressed the way Debian wants them (gzip -9n: no name, no
# time stamp, so that two builds give the same bytes).
find_program(PZ_GZIP gzip REQUIRED)
function(pz_gzip source target)
  add_custom_command(OUTPUT "${target}" COMMAND "${PZ_GZIP}" -9nc "${source}" > "${target}"
                     DEPENDS "${source}" VERBATIM)
endfunction()
set(PZ_GZ "${CMAKE_BINARY_DIR}/packaging")
pz_gzip("${PZ_PACKAGING}/pzpokl.1" "${PZ_GZ}/pzpokl.1.gz")
pz_gzip("${PZ_PACKAGING}/pzlockd.8" "${PZ_GZ}/pzlockd.8.gz")
pz_gzip("${PZ_PACKAGING}/changelog" "${PZ_GZ}/changelog.gz")
file(WRITE "${PZ_GZ}/pzpokl-demo.1.in" ".so man1/pzpokl.1\n")
pz_gzip("${PZ_GZ}/pzpokl-demo.1.in" "${PZ_GZ}/pzpokl-demo.1.gz")
add_custom_target(pz_packaging_files ALL DEPENDS "${PZ_GZ}/pzpokl.1.gz" "${PZ_GZ}/pzlockd.8.gz"
                                               "${PZ_GZ}/changelog.gz" "${PZ_GZ}/pzpokl-demo.1.gz")
install(FILES "${PZ_GZ}/pzpokl.1.gz" "${PZ_GZ}/pzpokl-demo.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${PZ_GZ}/pzlockd.8.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
install(FILES "${PZ_PACKAGING}/copyright" DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES "${PZ_PACKAGING}/lintian-overrides" DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME pzpokl)
install(FILES "${PZ_GZ}/changelog.gz" DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME changelog.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pzpokl)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "foreign-currency cash desk with a lock server")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Cash desks in euros, dollars and other currencies: every receipt and\n\
expenditure with its crown equivalent at the day's exchange rate, cash\n\
vouchers, cash books, invoice payments, VAT and the posting into accounting\n\
entries, on several workstations at once over a shared data directory.\n\
The lock server pzlockd runs as the systemd service pzlockd.service.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "pzpokl developers <pzpokl@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# curl fetches the bank's rates and asks the public registers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "curl")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PZ_PACKAGING}/conffiles;${PZ_PACKAGING}/postinst;${PZ_PACKAGING}/prerm;${PZ_PACKAGING}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
