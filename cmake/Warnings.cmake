# Warnings for the project's own code.
function(tarnwick_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
