# One static library per layer folder. A layer's headers are reachable only through its target:
# each target publishes an include root of its own that holds just its folder (a symbolic link
# in the build tree), so `#include "app/..."` does not compile in a layer that does not link app.
#
# tessory_add_layer(<folder> LINKS <targets...>)
#   defines tessory_<folder> with alias Tessory::<folder>, its sources listed by the folder's
#   CMakeLists.txt, linking <targets...> publicly.
function(tessory_add_layer folder)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    set(target tessory_${folder})
    set(root ${PROJECT_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    add_library(${target} STATIC)
    add_library(Tessory::${folder} ALIAS ${target})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    target_compile_options(${target} PRIVATE ${TESSORY_WARNINGS})
    add_subdirectory(${folder})
endfunction()
