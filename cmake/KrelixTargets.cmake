# Each source folder is one library target whose sources are the folder's .cpp files, so that
# adding a file needs no edit here. Dependencies point one way:
# common <- platform <- engine <- catalogue, settings, operations, preview <- app.

# krelix_library(<target> [QT] LINKS <targets...>)
function(krelix_library target)
    cmake_parse_arguments(ARG "QT" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        set(scope PUBLIC)
        if(ARG_QT)
            set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
        endif()
    else()
        add_library(${target} INTERFACE ${headers})
        set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} ${scope} ${ARG_LINKS})
    if(ARG_QT)
        target_compile_definitions(${target} ${scope} QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
    endif()
endfunction()

# krelix_gtest(<target> [QT] LINKS <targets...>): one test program from the folder's *_test.cpp
# files plus tests/support. QT programs get a QApplication (offscreen) and QtTest.
function(krelix_gtest target)
    cmake_parse_arguments(ARG "QT" "" "LINKS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE krelix_test_support ${ARG_LINKS} GTest::gmock)
    if(ARG_QT)
        set_target_properties(${target} PROPERTIES AUTOMOC ON)
        target_compile_definitions(${target} PRIVATE QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
        target_link_libraries(${target} PRIVATE krelix_test_qt_main Qt6::Test Qt6::Widgets)
    else()
        target_link_libraries(${target} PRIVATE GTest::gtest_main)
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${ARG_LABELS}")
endfunction()
