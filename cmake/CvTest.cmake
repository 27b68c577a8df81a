# cv_add_test(<name> SOURCES <files...> [QT] [UI] [FONTS] [LIBS <libs...>])
#   A GoogleTest executable unless QT is given (then a Qt Test executable with its own main).
#   UI links the window library as well. Every test runs headless. Tests of windows (UI) and
#   others that lay out text (FONTS) carry the label "fonts": scripts/run-tests runs them once
#   more under a second set of fonts. The session bus a test sees is one that is not there, so the
#   program never reaches the user's own; tests of the bus start a bus of their own.
function(cv_add_test name)
    cmake_parse_arguments(ARG "QT;UI;FONTS" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE cv_common cvcore cv_testsupport ${ARG_LIBS})
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
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CV_TEST_DATA=${CMAKE_SOURCE_DIR}/data;CV_PROGRAM_DIR=${CV_PROGRAM_DIR};DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus")
    if(ARG_UI OR ARG_FONTS)
        set_tests_properties(${name} PROPERTIES LABELS fonts)
    endif()
endfunction()

# cv_add_scaled_runs(<test> <function>...)
#   Runs these functions of a Qt Test executable once more on screens of 1.5 and of 2 device
#   pixels per pixel (QT_SCALE_FACTOR), as tests <test>_at_1.5 and <test>_at_2. The screen is a
#   large one, so that windows keep the size they have on an ordinary screen.
function(cv_add_scaled_runs name)
    foreach(factor 1.5 2)
        add_test(NAME ${name}_at_${factor} COMMAND ${name} ${ARGN})
        set_tests_properties(${name}_at_${factor} PROPERTIES
            TIMEOUT 300
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/large-screen.json;QT_SCALE_FACTOR=${factor};CV_TEST_DATA=${CMAKE_SOURCE_DIR}/data;CV_PROGRAM_DIR=${CV_PROGRAM_DIR};DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus")
    endforeach()
endfunction()
