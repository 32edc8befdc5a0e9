# Run by cpack after it has made the Debian package: cpack gives the three ar
# members of a .deb the mode their temporary files had, which follows the
# builder's umask (rw------- under umask 077). Each member's mode field is set
# to rw-r--r-- as dpkg-deb writes it, so that the package does not depend on
# the umask.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  file(SIZE "${package}" total)
  file(READ "${package}" magic LIMIT 8)
  if(NOT magic STREQUAL "!<arch>\n")
    message(FATAL_ERROR "${package} is not an ar archive")
  endif()
  # After the magic, each member: a 60-byte header (name 16, time 12, owner 6,
  # group 6, mode 8, size 10, end 2), then its data, padded to an even length.
  set(header 8)
  while(header LESS total)
    file(READ "${package}" fields OFFSET ${header} LIMIT 60)
    string(SUBSTRING "${fields}" 48 10 size)
    string(STRIP "${size}" size)
    if(NOT size MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${package}: no member size at byte ${header}")
    endif()
    math(EXPR mode_at "${header} + 40")
    execute_process(COMMAND printf "100644  "
                    COMMAND dd "of=${package}" bs=1 seek=${mode_at} conv=notrunc status=none
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${package}: the mode of a member could not be set")
    endif()
    math(EXPR header "${header} + 60 + ${size} + ${size} % 2")
  endwhile()
endforeach()
