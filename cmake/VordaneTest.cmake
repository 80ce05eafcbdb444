find_package(Qt6 REQUIRED COMPONENTS Test)

# vordane_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable, registered with CTest and run on the offscreen platform.
function(vordane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test vordane_options)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
        TIMEOUT 300)
endfunction()
