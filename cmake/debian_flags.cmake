# A release build for a Debian system takes the distribution's compiler and
# linker flags, with every hardening feature on (stack protector, fortified
# libc calls, read-only relocations, immediate binding, stack clash and
# control-flow protection), as dpkg-buildflags gives them; -ffile-prefix-map makes the source folder "." in the binaries.
# Other build types, the sanitizers and cross builds keep their own flags.
option(ORVANTA_DEBIAN_FLAGS "Add dpkg-buildflags' flags (hardening=+all) to a Release build" ON)
find_program(ORVANTA_DPKG_BUILDFLAGS dpkg-buildflags)
if(ORVANTA_DEBIAN_FLAGS AND ORVANTA_DPKG_BUILDFLAGS AND CMAKE_BUILD_TYPE STREQUAL "Release"
   AND NOT CMAKE_CROSSCOMPILING AND NOT ORVANTA_SANITIZE AND NOT ORVANTA_BUILD_FUZZ)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${ORVANTA_DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE orvanta_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
    endif()
  endforeach()
  # Newer dpkg adds stack clash protection and control-flow protection to
  # hardening=+all; where it does not yet, they are added here.
  include(CheckCXXCompilerFlag)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "orvanta_has${flag}" supported)
    if(NOT orvanta_CXXFLAGS MATCHES "${flag}")
      check_cxx_compiler_flag(${flag} ${supported})
      if(${supported})
        string(APPEND orvanta_CXXFLAGS " ${flag}")
      endif()
    endif()
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS " ${orvanta_CPPFLAGS} ${orvanta_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${orvanta_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${orvanta_LDFLAGS}")
  message(STATUS "Debian build flags: ${orvanta_CPPFLAGS} ${orvanta_CXXFLAGS} ${orvanta_LDFLAGS}")
endif()
