# Packages made by cpack from the install rules, all with the project's
# version: on Linux a Debian package of both Qt editions; in the MinGW build a
# portable zip and a per-user installer of both Windows editions.
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR ${ORVANTA_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "travelling salesman puzzle with an exact solver")
set(CPACK_PACKAGE_HOMEPAGE_URL ${ORVANTA_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${ORVANTA_DIRECTORY_PERMISSIONS})
set(ORVANTA_MAINTAINER "Orvanta maintainers <maintainers@orvanta.example.org>")
option(ORVANTA_INSTALL_PACKAGE_DOCS "Install debian/copyright and debian/changelog into the doc folder" ON)

# debian/changelog names the version the source package builds: it must be
# the project's.
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^orvanta \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "debian/changelog starts with '${changelog_head}', not version ${PROJECT_VERSION}")
endif()

# Compresses a file in place as Debian wants it: gzip -9 -n, without a name
# or time stamp.
function(orvanta_gzip file)
  execute_process(COMMAND gzip -9 -n -f ${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
endfunction()

# cpack stamps the files in the packages with $SOURCE_DATE_EPOCH; when it is
# not set, packaging/per_generator.cmake sets it to the build's time stamp.
set(CPACK_ORVANTA_SOURCE_DATE_EPOCH ${ORVANTA_SOURCE_DATE_EPOCH})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/packaging/per_generator.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME orvanta-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Orvanta)
  # The installer's own script (packaging/NSIS.template.in) and its file name.
  list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/packaging)
  # What the uninstaller removes: every installed file but user.txt (see
  # app/win32/CMakeLists.txt for what is installed).
  include(${CMAKE_CURRENT_LIST_DIR}/catalogue.cmake)
  orvanta_manuals(${PROJECT_SOURCE_DIR} manuals)
  set(CPACK_ORVANTA_DELETE_FILES)
  foreach(file orvanta-public.exe orvanta-profi.exe ${manuals})
    # cpack reads the value back from CPackConfig.cmake: the backslash doubled.
    string(APPEND CPACK_ORVANTA_DELETE_FILES "  Delete '$INSTDIR\\\\${file}'\n")
  endforeach()
  set(CPACK_ORVANTA_VERSION_NUMBERS ${ORVANTA_VERSION_QUAD})
  # The installer's own manifest in place of the compiler's default one: its
  # version and awareness of the screen's resolution. A script written into
  # the installer's header puts it there (packaging/set_manifest.py).
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/packaging/setup.manifest.in ${CMAKE_BINARY_DIR}/setup.manifest @ONLY)
  set(CPACK_ORVANTA_SETUP_MANIFEST ${CMAKE_BINARY_DIR}/setup.manifest)
  set(CPACK_ORVANTA_SET_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/packaging/set_manifest.py)
  set(CPACK_ORVANTA_PYTHON ${Python3_EXECUTABLE})
  set(CPACK_ORVANTA_EXEHEAD ${CMAKE_BINARY_DIR}/nsis-exehead.tmp)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/win32/orvanta.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/win32/orvanta.ico)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # The release package is the source package's (debian/, built with
  # dpkg-buildpackage). This one is built another way (CMake's release
  # flags), so it carries a version of its own, which sorts before the
  # release's: the release replaces it.
  set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION}~cpack)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/packaging/deb_member_modes.cmake)
  # The library dependencies are read from the executables by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Loaded at run time, so invisible to it: the plugin that puts the window
  # on the desktop.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  # What opens the manual and the personal-number file in the desktop's viewer,
  # and Qt's own texts (the file dialogs, their questions) in the user's language.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
  # The shipped personal number is a configuration file (app/qt/CMakeLists.txt
  # puts it there): dpkg keeps the administrator's edit on an upgrade or a
  # reinstallation.
  file(WRITE ${CMAKE_BINARY_DIR}/package-control/conffiles "/etc/orvanta/user.txt\n")
  file(CHMOD ${CMAKE_BINARY_DIR}/package-control/conffiles PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package-control/conffiles)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVANTA_MAINTAINER})
  # The summary above is the first line; this is the long description.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Up to 18 cities lie on a square grid; the player closes a round trip through
all of them while a clock runs. The program finds the exact shortest trip and
grades the player's trip against it. Maps come from a random generator or from
the map editor and are saved to small files.

Both editions are installed: orvanta-public grades the finished trip,
orvanta-profi also lists the spectrum of the shortest tour lengths.")

  # The manual page, dated and versioned as the release, and the second
  # edition's name as a link to it. gzip -n: no name or time stamp in the
  # compressed files.
  if(TARGET orvanta-public)
    set(doc ${CMAKE_BINARY_DIR}/package-doc)
    configure_file(${PROJECT_SOURCE_DIR}/app/qt/orvanta.6.in ${doc}/orvanta-public.6 @ONLY)
    orvanta_gzip(${doc}/orvanta-public.6)
    install(FILES ${doc}/orvanta-public.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(CODE "
      file(CREATE_LINK orvanta-public.6.gz
           \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man6/orvanta-profi.6.gz\" SYMBOLIC)")
    # The copyright and changelog files every Debian package carries, the
    # same as the source package's (whose own build installs them itself).
    if(ORVANTA_INSTALL_PACKAGE_DOCS)
      configure_file(${PROJECT_SOURCE_DIR}/debian/changelog ${doc}/changelog COPYONLY)
      orvanta_gzip(${doc}/changelog)
      install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright ${doc}/changelog.gz
              DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta)
      install(FILES ${PROJECT_SOURCE_DIR}/debian/orvanta.lintian-overrides
              DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME orvanta)
    endif()
  endif()
endif()

# The last install rule: in a staging folder ($DESTDIR, as cpack and the
# Debian tools install), every folder is made rwxr-xr-x, since the folders
# the install rules make are cut down by the builder's umask.
install(CODE "
  if(NOT \"\$ENV{DESTDIR}\" STREQUAL \"\")
    file(GLOB_RECURSE folders LIST_DIRECTORIES true \"\$ENV{DESTDIR}/*\")
    foreach(folder \"\$ENV{DESTDIR}\" \${folders})
      if(IS_DIRECTORY \"\${folder}\" AND NOT IS_SYMLINK \"\${folder}\")
        file(CHMOD \"\${folder}\" PERMISSIONS ${ORVANTA_DIRECTORY_PERMISSIONS})
      endif()
    endforeach()
  endif()")

include(CPack)
