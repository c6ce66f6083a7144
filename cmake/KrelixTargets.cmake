# Each source folder is one library target whose sources are the folder's .cpp files, so that
# adding a file needs no edit here. Dependencies point one way:
# common <- platform <- engine <- catalogue, settings, operations, preview <- app.

# krelix_library(<target> [QT] [ROOMS <subfolders...>] LINKS <targets...>): ROOMS are subfolders
# whose files belong to the same library (a ui/ subfolder is a library of its own).
function(krelix_library target)
    cmake_parse_arguments(ARG "QT" "" "LINKS;ROOMS" ${ARGN})
    set(sources)
    set(headers)
    foreach(folder . ${ARG_ROOMS})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND sources ${found})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
        list(APPEND headers ${found})
    endforeach()
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

# krelix_gtest(<target> [QT] [ROOMS <subfolders...>] LINKS <targets...>): one test program from
# the *_test.cpp files of the folder and its ROOMS plus tests/support. QT programs get a
# QApplication (offscreen) and QtTest.
function(krelix_gtest target)
    cmake_parse_arguments(ARG "QT" "" "LINKS;LABELS;ROOMS" ${ARGN})
    set(sources)
    foreach(folder . ${ARG_ROOMS})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
        list(APPEND sources ${found})
    endforeach()
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
    krelix_test_timeout(timeout "${ARG_LABELS}")
    set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${timeout})
    if(ARG_LABELS)  # an empty value would drop out of the list and take the next key as labels
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    # Discovery runs the program when the tests start, on a machine that may be busy.
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# Every test has a time limit, in seconds, so that one that hangs fails instead of stopping the
# run. The bounded fuzz runs (a minute each, after building the fuzzer with clang) and the package
# tests (a package built and unpacked) get longer.
set(KRELIX_TEST_TIMEOUT 120)
set(KRELIX_FUZZ_TEST_TIMEOUT 900)
set(KRELIX_PACKAGE_TEST_TIMEOUT 600)

# krelix_test_timeout(<variable> <labels>): the time limit of a test with the given labels.
function(krelix_test_timeout variable labels)
    set(timeout ${KRELIX_TEST_TIMEOUT})
    if("fuzz" IN_LIST labels)
        set(timeout ${KRELIX_FUZZ_TEST_TIMEOUT})
    elseif("package" IN_LIST labels)
        set(timeout ${KRELIX_PACKAGE_TEST_TIMEOUT})
    endif()
    set(${variable} ${timeout} PARENT_SCOPE)
endfunction()

# krelix_add_test(NAME <name> [LABELS <labels...>] COMMAND <command...>): add_test with the labels
# and the time limit they give.
function(krelix_add_test)
    cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME" "LABELS;COMMAND")
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
    krelix_test_timeout(timeout "${ARG_LABELS}")
    set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT ${timeout})
    if(ARG_LABELS)
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
