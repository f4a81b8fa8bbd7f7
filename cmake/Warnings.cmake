# Project-wide warning flags; the CI builds turn them into errors.
function(tessaron_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Wnon-virtual-dtor)
  if(TESSARON_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
