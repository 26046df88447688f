# Warnings and sanitizers shared by every target of the project.

add_library(kv_options INTERFACE)
target_compile_features(kv_options INTERFACE cxx_std_20)
# Headers are included by their path from the top of the tree: "board/whiteboard.h".
target_include_directories(kv_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(kv_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wunused -Woverloaded-virtual -Wconversion -Wsign-conversion -Wnull-dereference
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough -Wmisleading-indentation)
# These only GCC knows; clang (the fuzz build) would warn about each of them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(kv_options INTERFACE
        -Wduplicated-cond -Wduplicated-branches -Wlogical-op -Wuseless-cast)
endif()

# CI builds treat every warning as an error; local builds only report them.
if(DEFINED ENV{CI})
    target_compile_options(kv_options INTERFACE -Werror)
endif()

option(KV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KV_SANITIZE)
    target_compile_options(kv_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(kv_options INTERFACE -fsanitize=address,undefined)
endif()

# ThreadSanitizer cannot share a build with AddressSanitizer: it has a folder of its own.
option(KV_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(KV_SANITIZE_THREAD)
    if(KV_SANITIZE)
        message(FATAL_ERROR "KV_SANITIZE and KV_SANITIZE_THREAD exclude each other")
    endif()
    target_compile_options(kv_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(kv_options INTERFACE -fsanitize=thread)
endif()

# Precompiled headers: most of a file's compile time is spent parsing Qt's headers. The set of
# each kind (gui, widgets or tests, cmake/precompiled_*.h) is parsed once, by the first target
# of that kind, and every later target of the kind reuses it (targets are compiled alike, so
# the compiler accepts it; -Winvalid-pch says when not). Turn it off to check that every file
# includes what it uses.
option(KV_PRECOMPILE "Precompile the common Qt headers" ON)
function(kv_precompile target kind)
    if(NOT KV_PRECOMPILE)
        return()
    endif()
    get_property(owner GLOBAL PROPERTY KV_PRECOMPILED_${kind})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE
            ${PROJECT_SOURCE_DIR}/cmake/precompiled_${kind}.h)
        set_property(GLOBAL PROPERTY KV_PRECOMPILED_${kind} ${target})
    endif()
endfunction()
