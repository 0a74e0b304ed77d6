# Included right after the top project() call (CMAKE_PROJECT_Vigilo_INCLUDE) by the self-update
# test's build of the release that updates itself: the same sources, numbered lower than this
# release, which is the update it is offered. The last part that is not 0 goes down by one, so
# 0.1.0 becomes 0.0.0 and 1.2.3 becomes 1.2.2.
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
