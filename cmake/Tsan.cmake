# ThreadSanitizer builds (the tsan preset; tests/tsan adds its canary): every program gets the default
# options of TsanDefaultOptions.cpp.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=thread")
    return()
endif()

add_library(tsan_default_options OBJECT ${CMAKE_CURRENT_LIST_DIR}/TsanDefaultOptions.cpp)

function(gambitron_link_tsan_default_options dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            target_link_libraries(${target} PRIVATE tsan_default_options)
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        gambitron_link_tsan_default_options(${subdir})
    endforeach()
endfunction()
gambitron_link_tsan_default_options(${CMAKE_SOURCE_DIR})
