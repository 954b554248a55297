# Installation and the Debian package. The program's pictures and layouts are
# compiled in; what is installed beside it is for the desktop (launcher entry,
# icon, AppStream record), for the administrator (copyright, changelog,
# manual pages), the counter's quick guide, and a sample page with its
# formati.txt row. Included from the top-level CMakeLists.txt.

include(GNUInstallDirs)
set(RITRAX_RELEASE_DATE "2026-12-08")
set(RITRAX_PACKAGE_MAINTAINER "Sviluppatori di Ritrax <ritrax@example.org>"
    CACHE STRING "Maintainer written into the Debian package")
set(RITRAX_APP_ID it.ritrax.ritrax)
# Named after the package, not after the project, as Debian wants it.
set(RITRAX_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/ritrax")
# A build run under a group-writable umask must not give the package such
# folders.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ritrax RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
set(RITRAX_METAINFO_CLI "")
if(TARGET ritrax-cli)
  install(TARGETS ritrax-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(TARGETS ritrax-cli-full RUNTIME DESTINATION "${CMAKE_INSTALL_LIBEXECDIR}/ritrax")
  install(TARGETS ritrax-cli-fast LIBRARY DESTINATION "${CMAKE_INSTALL_LIBEXECDIR}/ritrax")
  set(RITRAX_METAINFO_CLI "\n    <binary>ritrax-cli</binary>")
endif()

configure_file(packaging/${RITRAX_APP_ID}.metainfo.xml.in
               "${CMAKE_BINARY_DIR}/packaging/${RITRAX_APP_ID}.metainfo.xml" @ONLY)
install(FILES packaging/${RITRAX_APP_ID}.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_BINARY_DIR}/packaging/${RITRAX_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 48 64 128 256)
  install(FILES "packaging/icons/${size}x${size}/${RITRAX_APP_ID}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES packaging/icons/${RITRAX_APP_ID}.svg
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES samples/modulo-300dpi.jpg samples/formati.txt samples/README.md
        DESTINATION "${CMAKE_INSTALL_DATADIR}/ritrax/samples")

# Debian wants the changelog and the manual pages compressed at the highest
# level and without a time stamp or name in the gzip header, so that the
# same sources give the same package. Done while configuring, so that an
# install right after building the two programs finds them.
function(ritrax_gzip source target)
  set(input "${CMAKE_SOURCE_DIR}/${source}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${input}")
  get_filename_component(folder "${target}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  execute_process(COMMAND gzip -9nc "${input}" OUTPUT_FILE "${target}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${input}")
  endif()
endfunction()

set(generated "${CMAKE_BINARY_DIR}/packaging")
# A native package: Debian's changelog is changelog.gz.
ritrax_gzip(packaging/changelog "${generated}/changelog.gz")
foreach(page ritrax ritrax-cli)
  ritrax_gzip(packaging/man/${page}.1 "${generated}/man/${page}.1.gz")
  install(FILES "${generated}/man/${page}.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()
install(FILES packaging/copyright "${generated}/changelog.gz" DESTINATION "${RITRAX_DOC_DIR}")
# The counter's quick guide and its screenshots, when the tree has them.
install(FILES docs/guida-rapida.md DESTINATION "${RITRAX_DOC_DIR}" OPTIONAL)
install(DIRECTORY docs/img DESTINATION "${RITRAX_DOC_DIR}" OPTIONAL FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ritrax)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${RITRAX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "foto e firma per la domanda di patente / licence photo and signature files")
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Ritrax acquisisce un'immagine (file, scanner SANE o webcam), fa inquadrare il
volto e la firma del richiedente e scrive i file accettati con la domanda di
patente: la foto JPEG 265 x 320 a 200 DPI e la firma su 710 x 142 a 600 DPI.
.
Ritrax takes in a picture (file, SANE scanner or webcam), lets the operator
frame the applicant's face and signature, and writes the files that a
driving-licence application accepts. The program speaks Italian.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RITRAX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's TIFF/WebP
# readers, Qt Multimedia's GStreamer elements, Qt's Italian dialogs, the fonts
# with Arial's metrics, and the certificates the portal's TLS is checked
# against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libdlib-data, qt6-image-formats-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, qt6-translations-l10n, fonts-liberation, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# CPack installs before packing; with this the install step does not build
# every test and benchmark first, so a package needs only the two programs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
