# Warnings are errors in the project's own code.
function(pelmarin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wno-unused-parameter -Werror)
endfunction()
