# Included right after the top project() call (CMAKE_PROJECT_Vigilo_INCLUDE) by the self-update
# test's build of the release that updates itself: the same sources, numbered lower than this
# release, which is the update it is offered, and checking for updates a second after its start
# rather than a minute.

# The last part of the version that is not 0 goes down by one, so 0.1.0 becomes 0.0.0 and 1.2.3
# becomes 1.2.2.
string(REPLACE "." ";" parts "${PROJECT_VERSION}")
list(REVERSE parts)
set(previous "")
set(lowered FALSE)
foreach(part IN LISTS parts)
    if(NOT lowered AND part GREATER 0)
        math(EXPR part "${part} - 1")
        set(lowered TRUE)
    endif()
    list(PREPEND previous ${part})
endforeach()
if(NOT lowered)
    message(FATAL_ERROR "release ${PROJECT_VERSION} has no lower number")
endif()
list(JOIN previous "." PROJECT_VERSION)
set(CMAKE_PROJECT_VERSION "${PROJECT_VERSION}" CACHE STATIC "" FORCE)

# The sources that include LinuxUpdateFramework.h, alone, so that every other source compiles
# exactly as in the build under test (whose objects ccache then gives back). Deferred to the end of
# the configuration, when src/platform is known.
cmake_language(DEFER CALL set_source_files_properties
    ${CMAKE_SOURCE_DIR}/src/platform/linux/update/LinuxUpdateFramework.cpp
    DIRECTORY ${CMAKE_SOURCE_DIR}/src/platform/linux
    PROPERTIES COMPILE_DEFINITIONS VIGILO_FIRST_UPDATE_CHECK_DELAY=1)
cmake_language(DEFER CALL set_source_files_properties
    ${CMAKE_SOURCE_DIR}/src/platform/linux/LinuxPlatform.cpp
    DIRECTORY ${CMAKE_SOURCE_DIR}/src/platform
    PROPERTIES COMPILE_DEFINITIONS VIGILO_FIRST_UPDATE_CHECK_DELAY=1)
