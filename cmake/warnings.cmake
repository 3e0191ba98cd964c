# The project's warnings, shared by the main build and the fuzz build (tests/fuzz).
#
# They are errors only with VOLSCOPE_WERROR, which the test command and CI switch on: a packager's
# or user's build with another build type or compiler version must not fail on a warning that
# compiler emits falsely (GCC 12's -Wrestrict at -O3 is one). Layouts leave fields to their
# defaults on purpose, hence no missing-field-initializers. Imported targets (Qt, GoogleTest) are
# included as system headers and stay out of it.
option(VOLSCOPE_WERROR "Treat the project's warnings as errors" OFF)

set(VOLSCOPE_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                           -Wno-missing-field-initializers)
if(VOLSCOPE_WERROR)
    list(APPEND VOLSCOPE_WARNING_FLAGS -Werror)
endif()

function(volscope_warnings target)
    target_compile_options(${target} PRIVATE ${VOLSCOPE_WARNING_FLAGS})
endfunction()
