# Warnings are errors everywhere; the engine adds the conversion checks.
function(project_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wimplicit-fallthrough -Wformat=2 -Werror)
endfunction()

function(project_strict_warnings target)
    project_warnings(${target})
    target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
endfunction()
