# Builds every target of the project (the client's libraries and programs,
# the tests, their helpers, the tools and the benchmarks) with a runtime
# checker:
#   -DLESSONRY_SANITIZE=address   AddressSanitizer with UndefinedBehaviorSanitizer
#   -DLESSONRY_SANITIZE=thread    ThreadSanitizer
# Empty (the default) builds without. The two cannot share a build folder;
# scripts/sanitize.sh builds each in a folder of its own and runs the suite
# with the runtime options and suppressions of tests/sanitizers/.
set(LESSONRY_SANITIZE "" CACHE STRING "Runtime checker for every target: address (with undefined) or thread")
set_property(CACHE LESSONRY_SANITIZE PROPERTY STRINGS "" address thread)

if(LESSONRY_SANITIZE STREQUAL "address")
    set(LESSONRY_SANITIZE_FLAGS -fsanitize=address,undefined)
elseif(LESSONRY_SANITIZE STREQUAL "thread")
    set(LESSONRY_SANITIZE_FLAGS -fsanitize=thread)
elseif(NOT LESSONRY_SANITIZE STREQUAL "")
    message(FATAL_ERROR "LESSONRY_SANITIZE must be empty, address or thread, not '${LESSONRY_SANITIZE}'")
endif()

if(LESSONRY_SANITIZE_FLAGS)
    # Whole call stacks in the reports, also through optimised frames.
    # Optimised as the checkers advise (-O1, line tables only): the checked
    # code compiles in half the time of -O2 and still runs fast enough.
    add_compile_options(${LESSONRY_SANITIZE_FLAGS} -fno-omit-frame-pointer -O1 -g1)
    add_link_options(${LESSONRY_SANITIZE_FLAGS})
endif()

if(LESSONRY_SANITIZE STREQUAL "thread")
    # The toolkit's locks made visible to ThreadSanitizer (see the source):
    # linked first into every target made after this point, so its
    # definitions come before the toolkit's own.
    add_library(lessonry_qtsync SHARED ${PROJECT_SOURCE_DIR}/tests/sanitizers/qtsync.cpp)
    target_link_libraries(lessonry_qtsync PRIVATE ${CMAKE_DL_LIBS})
    target_link_options(lessonry_qtsync PRIVATE
        LINKER:--version-script=${PROJECT_SOURCE_DIR}/tests/sanitizers/qtsync.map)
    set_property(TARGET lessonry_qtsync APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/tests/sanitizers/qtsync.map)
    link_libraries(lessonry_qtsync)
endif()
