# cv_add_test(<name> SOURCES <files...> [QT] [UI] [LIBS <libs...>])
#   A GoogleTest executable unless QT is given (then a Qt Test executable with its own main).
#   UI links the window library as well. Every test runs headless.
function(cv_add_test name)
    cmake_parse_arguments(ARG "QT;UI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE cv_common cvcore ${ARG_LIBS})
    if(ARG_UI)
        target_link_libraries(${name} PRIVATE cvui)
    endif()
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock Qt6::Test)
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CV_TEST_DATA=${CMAKE_SOURCE_DIR}/data;CV_PROGRAM_DIR=${CV_PROGRAM_DIR}")
endfunction()
