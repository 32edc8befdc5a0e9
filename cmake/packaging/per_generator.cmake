# Read by cpack once per generator: the installer is named apart from the zip,
# and every package's files carry the build's time stamp, not the time they
# were made, so that two builds of one commit give the same package.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_ORVANTA_SOURCE_DATE_EPOCH})
endif()
# A zip stores its times as local time: packed in UTC, the zip is the same
# whatever the builder's time zone.
set(ENV{TZ} UTC0)
