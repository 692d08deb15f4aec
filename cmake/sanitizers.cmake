# Sanitizer builds (HARVESTLINE_SANITIZER): every target of the build, tests included, is
# instrumented. -O1 keeps the instrumented tests fast, -g1 gives reports file and line without the
# size of full debug information. scripts/sanitize.sh configures these builds and runs them.
if(HARVESTLINE_SANITIZER STREQUAL "")
    return()
endif()

if(HARVESTLINE_SANITIZER STREQUAL "address")
    # Any report ends the process: a test passes only with no report at all.
    set(sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(HARVESTLINE_SANITIZER STREQUAL "thread")
    set(sanitizer_flags -fsanitize=thread)
else()
    message(FATAL_ERROR "HARVESTLINE_SANITIZER must be empty, address or thread, not '${HARVESTLINE_SANITIZER}'")
endif()

add_compile_options(${sanitizer_flags} -O1 -g1 -fno-omit-frame-pointer)
add_link_options(${sanitizer_flags})
