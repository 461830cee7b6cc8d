# Helpers shared by the project's CMake files.

# zyr_collect_sources(<var> <dir>...): the C++ sources and headers below the given folders, so a
# new file joins its library without editing a list.
function(zyr_collect_sources var)
    set(files)
    foreach(dir IN LISTS ARGN)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
             "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.ui" "${dir}/*.qrc")
        list(APPEND files ${found})
    endforeach()
    set(${var} ${files} PARENT_SCOPE)
endfunction()

# zyr_add_test_area(<area> LIBS <libs>...): one Qt Test executable tst_<area> from
# tests/<area>/*.cpp, run by CTest headless as one test per test class (<area>.<class>), so the
# classes of a large area run side by side and each has the time-out to itself.
function(zyr_add_test_area area)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    zyr_collect_sources(sources "${CMAKE_CURRENT_SOURCE_DIR}/${area}")
    add_executable(tst_${area} ${sources})
    target_link_libraries(tst_${area} PRIVATE Qt5::Test ${ARG_LIBS})
    target_include_directories(tst_${area} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/common")
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.cpp$")
            # A class added to a file adds its test.
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
            file(STRINGS "${source}" registrations REGEX "^ZYR_TEST_CLASS\\([A-Za-z0-9_]+\\)")
            # A registration the pattern misses would leave its class out of every run.
            file(STRINGS "${source}" mentions REGEX "ZYR_TEST_CLASS")
            if(NOT mentions STREQUAL registrations)
                message(FATAL_ERROR "${source}: register each test class at the start of a line, "
                                    "as ZYR_TEST_CLASS(<class>), so that CTest runs it")
            endif()
            foreach(registration IN LISTS registrations)
                string(REGEX REPLACE "^ZYR_TEST_CLASS\\(([A-Za-z0-9_]+)\\).*" "\\1" class
                                     "${registration}")
                add_test(NAME ${area}.${class} COMMAND tst_${area} ${class})
                zyr_set_test_environment(${area}.${class} "QT_QPA_PLATFORM=offscreen")
                # Only a hang comes near this, also on a busy machine.
                set_tests_properties(${area}.${class} PROPERTIES TIMEOUT 900)
            endforeach()
        endif()
    endforeach()
endfunction()

# zyr_set_test_environment(<test> [<VAR=value>...]): the test's environment; in a sanitized build
# also the sanitizer settings, so `ctest -R <test>` behaves as ./test does.
function(zyr_set_test_environment test)
    set(environment ${ARGN})
    if(ZYR_SANITIZE)
        list(APPEND environment
             "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1"
             "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
             "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
    endif()
    if(environment)
        set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}")
    endif()
endfunction()
