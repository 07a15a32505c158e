# What the windows run before their first paint sits together at the front of the programs' code: each
# function and datum gets a section of its own and lld places those named in startup-order.txt first (the
# resources' indexes, then the start-up functions). The start then touches a few pages of the programs (and
# keeps them resident) instead of nearly all of them, as functions spread over the whole file and indexes
# beside the pictures they describe would. tools/startup_order.sh writes the list; a stale one only costs
# locality. Without lld the programs link as before.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" GAMBITRON_HAVE_LLD)
if(GAMBITRON_HAVE_LLD AND CMAKE_BUILD_TYPE STREQUAL "Release")
    add_compile_options(-ffunction-sections -fdata-sections)
    set(GAMBITRON_STARTUP_ORDER ON)
endif()

function(gambitron_startup_order target)
    if(NOT GAMBITRON_STARTUP_ORDER)
        return()
    endif()
    set(list ${PROJECT_SOURCE_DIR}/cmake/startup-order.txt)
    target_link_options(${target} PRIVATE -fuse-ld=lld -Wl,--symbol-ordering-file=${list}
                        -Wl,--no-warn-symbol-ordering)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${list})
endfunction()
