# Warnings, Qt defines and sanitizer flags shared by every target of the project.
add_library(cv_common INTERFACE)
target_compile_options(cv_common INTERFACE -Wall -Wextra)
# The project's own scripts and CI turn warnings into errors; a plain build leaves them
# warnings, so the next compiler's new warning does not stop a packager's build.
if(CV_WERROR)
    target_compile_options(cv_common INTERFACE -Werror)
endif()
target_compile_definitions(cv_common INTERFACE
    QT_NO_KEYWORDS
    QT_DISABLE_DEPRECATED_BEFORE=0x060000
    QT_USE_QSTRINGBUILDER)
if(CV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "CV_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++-14")
    endif()
    # Every library is instrumented for coverage and checked by the sanitizers; only the fuzz
    # executables link libFuzzer's main.
    target_compile_options(cv_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                               -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
    target_link_options(cv_common INTERFACE -fsanitize=address,undefined)
elseif(CV_SANITIZE)
    target_compile_options(cv_common INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                               -fno-omit-frame-pointer)
    target_link_options(cv_common INTERFACE -fsanitize=address,undefined)
endif()

# Adds the folders given that already hold a CMakeLists.txt; subsystems arrive one by one.
function(cv_add_existing_subdirectories)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
