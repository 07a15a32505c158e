# What the windows run before their first paint sits together at the front of the programs' code: each
# function and datum gets a section of its own and the gold linker places those named in startup-order.txt
# first (the resources' indexes, then the start-up functions). The start then touches a few pages of the
# programs (and keeps them resident) instead of nearly all of them, as functions spread over the whole file and
# indexes beside the pictures they describe would. tools/startup_order.sh writes the list; a stale one only
# costs locality. Gold, not lld: it takes GCC's link-time-optimised engine code through the linker plugin.
# Without gold the programs link as before.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=gold" GAMBITRON_HAVE_GOLD)
if(GAMBITRON_HAVE_GOLD AND CMAKE_BUILD_TYPE STREQUAL "Release")
    add_compile_options(-ffunction-sections -fdata-sections)
    set(GAMBITRON_STARTUP_ORDER ON)
    # Gold orders sections, not symbols: ".text.startup.f", ".text.f" and ".rodata.f" all end in ".f".
    # A constructor or destructor runs under its complete-object name (C1, D1) but is emitted under its
    # base-object name (C2, D2), which the complete one aliases.
    file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/startup-order.txt symbols REGEX "^[^#]")
    set(bases ${symbols})
    list(FILTER bases INCLUDE REGEX "[CD]1E")
    list(TRANSFORM bases REPLACE "([CD])1E" "\\12E")
    list(APPEND symbols ${bases})
    list(TRANSFORM symbols PREPEND "*.")
    list(JOIN symbols "\n" sections)
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/startup-sections.txt CONTENT "${sections}\n")
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                                 ${PROJECT_SOURCE_DIR}/cmake/startup-order.txt)
endif()

function(gambitron_startup_order target)
    if(NOT GAMBITRON_STARTUP_ORDER)
        return()
    endif()
    set(list ${PROJECT_BINARY_DIR}/startup-sections.txt)
    # The engine's link-time optimised code is compiled at the link: without sections of its own there, a
    # library function it instantiates (std::string's allocation, say) stays inside the engine's code and
    # takes a page of it along when the start calls that function.
    target_link_options(${target} PRIVATE -fuse-ld=gold -Wl,--section-ordering-file=${list} -ffunction-sections
                        -fdata-sections)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${list})
endfunction()
