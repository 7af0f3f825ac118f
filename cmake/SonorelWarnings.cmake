# Warnings for the project's own targets; third-party headers come in as
# system includes so that -Werror judges only our code.
function(sonorel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
    if(SONOREL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
