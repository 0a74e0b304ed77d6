# cmake -DCLANGXX=<clang++> -DSOURCES=<folder> -DSDK=<folder> -DINCLUDES=<a|b|…>
#       [-DPROJECT_DIRS=<a|b>] -P CheckSyntax.cmake
#
# Runs clang's syntax check, as Objective-C++ with ARC for macOS 14, over every .mm file below
# SOURCES, with SDK's declarations first and then INCLUDES: those inside PROJECT_DIRS as the
# project's own, the others (Qt's) as system folders, whose warnings are not the project's. The
# compiler's own folders are left out, so the C++ library finds its headers in its own order.
# Prints each file's diagnostics and fails when any file has an error or a warning, or when there
# is no file at all.
foreach(variable CLANGXX SOURCES SDK INCLUDES)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "CheckSyntax.cmake needs -D${variable}=…")
    endif()
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false "${SOURCES}/*.mm")
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "no .mm file below ${SOURCES}")
endif()

string(REPLACE "|" ";" includes "${INCLUDES}")
list(REMOVE_DUPLICATES includes)
list(REMOVE_ITEM includes /usr/include /usr/local/include)
string(REPLACE "|" ";" project_dirs "${PROJECT_DIRS}")
set(include_flags -I${SDK})
foreach(folder IN LISTS includes)
    set(kind -isystem)
    foreach(project_dir IN LISTS project_dirs)
        cmake_path(IS_PREFIX project_dir "${folder}" inside)
        if(inside)
            set(kind -I)
        endif()
    endforeach()
    list(APPEND include_flags ${kind} ${folder})
endforeach()

# The project's own warnings (the top CMakeLists.txt), and nullability: a value that may be nil
# must not reach a parameter that may not. Position-independent code, as Qt's headers demand.
set(flags
    -std=c++20 -x objective-c++ -fobjc-arc -fobjc-runtime=macosx-14.0 -fblocks -fPIC -fsyntax-only
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wnullable-to-nonnull-conversion -Werror)

set(failed "")
foreach(file IN LISTS files)
    execute_process(
        COMMAND ${CLANGXX} ${flags} ${include_flags} ${file}
        RESULT_VARIABLE result
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    file(RELATIVE_PATH name "${SOURCES}" "${file}")
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
        message("${name}: FAILED\n${output}")
        list(APPEND failed "${name}")
    else()
        message("${name}: ok")
    endif()
endforeach()

list(LENGTH files checked)
list(LENGTH failed failures)
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} of ${checked} Objective-C++ files do not type-check: ${failed}")
endif()
message("${checked} Objective-C++ files type-check")
