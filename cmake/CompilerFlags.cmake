# Compiler settings shared by every target.

function(gridbloom_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
endfunction()

option(GRIDBLOOM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(GRIDBLOOM_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
