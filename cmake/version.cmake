# The version is the one of the newest entry of debian/changelog, read here without any Debian
# tool so that a plain clone builds too. Everything that carries a version follows it: the
# project, the Node module's package.json, the manual pages and the bundle's build version.
#
#   VX_VERSION           the Debian version without its epoch, e.g. 1.0 or 1.1~rc1
#   VX_VERSION_NUMBERS   its leading numbers, for project(VERSION), e.g. 1.0 or 1.1
#   VX_NODE_VERSION      the same as a semantic version, e.g. 1.0.0 or 1.1.0-rc1
#   VX_DOC_DATE          month and year of the entry, for the manual pages, e.g. December 2026
set(vx_changelog ${CMAKE_CURRENT_LIST_DIR}/../debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vx_changelog})

file(STRINGS ${vx_changelog} vx_heading LIMIT_COUNT 1)
if(NOT vx_heading MATCHES "^[a-z0-9][a-z0-9.+-]* \\(([0-9]+:)?(([0-9]+(\\.[0-9]+)*)([A-Za-z0-9.+~-]*))\\) ")
  message(FATAL_ERROR "debian/changelog: no version in its first line: ${vx_heading}")
endif()
set(VX_VERSION ${CMAKE_MATCH_2})
set(VX_VERSION_NUMBERS ${CMAKE_MATCH_3})
set(vx_rest ${CMAKE_MATCH_5})

string(REPLACE "." ";" vx_numbers ${VX_VERSION_NUMBERS})
list(LENGTH vx_numbers vx_count)
while(vx_count LESS 3)
  list(APPEND vx_numbers 0)
  list(LENGTH vx_numbers vx_count)
endwhile()
list(SUBLIST vx_numbers 0 3 vx_numbers)
string(JOIN "." VX_NODE_VERSION ${vx_numbers})
# A Debian pre-release (1.1~rc1) is a semantic pre-release (1.1.0-rc1).
if(vx_rest MATCHES "^~([A-Za-z0-9.]+)")
  string(APPEND VX_NODE_VERSION "-${CMAKE_MATCH_1}")
endif()

# The signature line of the newest entry: " -- Name <address>  Mon, 07 Dec 2026 12:00:00 +0000".
file(STRINGS ${vx_changelog} vx_signature REGEX "^ -- " LIMIT_COUNT 1)
if(NOT vx_signature MATCHES ", [0-9]+ ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "debian/changelog: no date in the newest entry's signature: ${vx_signature}")
endif()
set(vx_months Jan January Feb February Mar March Apr April May May Jun June Jul July Aug August
    Sep September Oct October Nov November Dec December)
list(FIND vx_months ${CMAKE_MATCH_1} vx_month)
if(vx_month LESS 0)
  message(FATAL_ERROR "debian/changelog: no month \"${CMAKE_MATCH_1}\" in: ${vx_signature}")
endif()
math(EXPR vx_month "${vx_month} + 1")
list(GET vx_months ${vx_month} vx_month)
set(VX_DOC_DATE "${vx_month} ${CMAKE_MATCH_2}")
