# Shared build helpers: warnings, sanitizers and per-folder globbing.

function(zumbo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(ZUMBO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Collects the .cpp files of the given folders (relative to the source root).
function(zumbo_sources out)
    set(result)
    foreach(dir ${ARGN})
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()
