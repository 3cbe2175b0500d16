# Every library and executable of the project links ringlog_warnings.
add_library(ringlog_warnings INTERFACE)
target_compile_options(ringlog_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(RINGLOG_WERROR)
    target_compile_options(ringlog_warnings INTERFACE -Werror)
endif()
if(RINGLOG_SANITIZE)
    target_compile_options(ringlog_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                      -fno-sanitize-recover=undefined)
    target_link_options(ringlog_warnings INTERFACE -fsanitize=address,undefined)
endif()
