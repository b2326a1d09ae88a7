# cmake -DSOURCE=DIR -DWORK=DIR -DMODE=subproject|without-qt [-DGENERATOR=G] [-DLAUNCHER=ccache]
#       -P check_build.cmake
# subproject: copies the tree into WORK/outer/quorvel, puts a project of its own around it that
# adds it with add_subdirectory, configures that and builds quorvel-calc.
# without-qt: configures the tree with Qt out of reach and no window program or tests, and
# builds quorvel-calc.
foreach(arg SOURCE WORK MODE)
    if(NOT ${arg})
        message(FATAL_ERROR "${arg} not given")
    endif()
endforeach()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "failed (${status}): ${command}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
# Release: no debug paths in the objects, so ccache serves the next run from the first.
set(options -DCMAKE_BUILD_TYPE=Release)
if(GENERATOR)
    list(APPEND options -G ${GENERATOR})
endif()
if(LAUNCHER)
    list(APPEND options -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()

if(MODE STREQUAL "subproject")
    # The tree without its build folders and checkout metadata.
    file(GLOB entries RELATIVE ${SOURCE} ${SOURCE}/*)
    list(FILTER entries EXCLUDE REGEX "^(build.*|\\.git)$")
    list(TRANSFORM entries PREPEND ${SOURCE}/)
    file(COPY ${entries} DESTINATION ${WORK}/outer/quorvel)
    file(WRITE ${WORK}/outer/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.25)
project(Outer LANGUAGES CXX)
add_subdirectory(quorvel)
foreach(library core tablefiles platform richtext screens tables reference notebook startup shell)
    if(NOT TARGET Quorvel::${library})
        message(FATAL_ERROR "Quorvel::${library} is not a target")
    endif()
endforeach()
]=])
    run(${CMAKE_COMMAND} -S ${WORK}/outer -B ${WORK}/outer-build ${options})
    run(${CMAKE_COMMAND} --build ${WORK}/outer-build --target quorvel-calc)
    set(calc ${WORK}/outer-build/quorvel/cli/quorvel-calc)
elseif(MODE STREQUAL "without-qt")
    run(${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build ${options} -DQUORVEL_BUILD_GUI=OFF
        -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON)
    run(${CMAKE_COMMAND} --build ${WORK}/build --target quorvel-calc)
    set(calc ${WORK}/build/cli/quorvel-calc)
else()
    message(FATAL_ERROR "unknown MODE ${MODE}")
endif()

# The program built is the calculator and computes.
execute_process(COMMAND ${calc} local 1 1 20 OUTPUT_VARIABLE out RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT out MATCHES "^Hf=[0-9]")
    message(FATAL_ERROR "${calc} local 1 1 20 gave ${status}: ${out}")
endif()
file(REMOVE_RECURSE ${WORK})
